// Prints a table of an Access file as JSON lines, one array of values per row, read by the npm
// package mdb-reader: null, true/false, numbers and text as they are, dates as ISO text, binary
// data as upper-case hex. The first line holds the column names.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, tableName] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));
if (!tableName) {
    for (const name of reader.getTableNames({ normalTables: true, systemTables: true, linkedTables: false }))
        console.log(name);
    process.exit(0);
}
const table = reader.getTable(tableName);
const names = table.getColumnNames();
console.log(JSON.stringify(names));
const plain = (value) => {
    if (value instanceof Date) return value.toISOString();
    if (value instanceof Uint8Array) return Buffer.from(value).toString("hex").toUpperCase();
    if (typeof value === "bigint") return value.toString();
    return value;
};
for (const row of table.getData()) console.log(JSON.stringify(names.map((name) => plain(row[name]))));
