#pragma once
// A connection to one source (Access database, Excel workbook, folder of text files), chosen by
// its connection string. It opens itself on first use and keeps each table it has loaded until it
// is closed, so that every cursor on a table shares the same rows.
//
// Bulk work: a post is committed to the source at once, unless it is made inside
// runBulkWork(work). There the posts of all tables of this connection are committed together when
// `work` ends, also when it ends by an exception: an interrupted import keeps the rows it had
// posted. A commit that fails is reported by runBulkWork's exception, joined to the message of
// the exception that ended `work`, if any. Bulk work may nest; the outermost one commits.
//
// All-or-nothing work: runAllOrNothing(work) defers commits the same way, but only a `work` that
// ends normally commits; one that ends by an exception drops its posts, so that the source and
// every cursor's rows are as they were before it began.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "data_access/provider.h"
#include "data_access/shared_table.h"

namespace kv::data_access {

class Cursor;

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Closes the connection first when it is open.
    void setConnectionString(std::string connectionString);
    const std::string& connectionString() const { return connectionString_; }

    // Opens the provider the connection string names. Throws when it names none, or the source
    // is missing or not of that kind.
    void open();
    // Opens the connection on a provider made elsewhere (tools and tests).
    void open(std::unique_ptr<Provider> provider);
    bool isOpen() const { return provider_ != nullptr; }
    // Commits pending posts, then detaches every loaded table: cursors on them count as closed.
    void close();

    // Opens `cursor` on a listing of the source's tables: columns TABLE_NAME and TABLE_TYPE
    // ("TABLE", or "SYSTEM TABLE" for the MSys tables), one row per table.
    void listTables(Cursor& cursor);

    // The loaded table of that name, loading it on first use.
    std::shared_ptr<SharedTable> table(const std::string& name);

    void runBulkWork(const std::function<void()>& work);
    void runAllOrNothing(const std::function<void()>& work);

private:
    // Defers the commits of every table, loaded now or later, until endDeferring() of the outermost.
    void deferCommits();
    void endDeferring();
    // Empty when every pending post is committed, else why not.
    std::string commitAll();

    std::string connectionString_;
    std::unique_ptr<Provider> provider_;
    std::map<std::string, std::shared_ptr<SharedTable>> tables_;  // keyed by the folded name
    int bulkDepth_ = 0;
};

}  // namespace kv::data_access
