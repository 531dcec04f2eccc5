// Prints the tables of an Access file as read by the npm package mdb-reader, as JSON lines: for
// each table (every table, system tables included, or only the one named) a line
// {"table": name, "columns": [...]} followed by one array of values per row, or
// {"table": name, "error": message} when mdb-reader cannot read it. Values are null, true/false,
// numbers and text as mdb-reader gives them, dates as ISO text and binary data as upper-case hex.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, onlyTable] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));
const tableNames = onlyTable
    ? [onlyTable]
    : reader.getTableNames({ normalTables: true, systemTables: true, linkedTables: false });

const plain = (value) => {
    if (value instanceof Date) return value.toISOString();
    if (value instanceof Uint8Array) return Buffer.from(value).toString("hex").toUpperCase();
    if (typeof value === "bigint") return value.toString();
    return value;
};

for (const name of tableNames) {
    let rows;
    let columns;
    try {
        const table = reader.getTable(name);
        columns = table.getColumnNames();
        rows = table.getData();
    } catch (error) {
        console.log(JSON.stringify({ table: name, error: error.message }));
        continue;
    }
    console.log(JSON.stringify({ table: name, columns }));
    for (const row of rows) console.log(JSON.stringify(columns.map((column) => plain(row[column]))));
}
