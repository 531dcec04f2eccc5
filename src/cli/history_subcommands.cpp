#include "cli/history_subcommands.h"

#include "cli/subcommands.h"
#include "history_db/compact_history_database.h"

#include <filesystem>

namespace kv::cli {

history_db::HistoryStore openHistory(Session& session) {
    try {
        history_db::HistoryStore store(session.path(kHistoryOption));
        session.report.status(history_db::kOpenedStatus);
        return store;
    } catch (const history_db::NotAHistoryDatabase& refusal) {
        throw Refusal(refusal.what());
    }
}

void runNew(Session& session) {
    const std::string templatePath = session.programDirectory + history_db::kTemplateFileName;
    if (!std::filesystem::exists(templatePath)) throw Refusal(history_db::TemplateMissing().what());
    const std::string path = session.path(kHistoryOption);
    if (std::filesystem::exists(path) &&
        !session.report.confirmed(history_db::replaceQuestion(path), "--replace", session.line.has("--replace")))
        throw Refusal("");
    try {
        history_db::createHistoryDatabase(templatePath, path);
    } catch (const history_db::NotAHistoryDatabase& refusal) {
        throw Refusal(refusal.what());
    }
    session.report.status(history_db::kOpenedStatus);
}

void runCheck(Session& session) { openHistory(session); }

void runEmpty(Session& session) {
    history_db::HistoryStore store = openHistory(session);
    if (!session.report.confirmed(history_db::kEmptyQuestion, "--yes", session.line.has("--yes"))) throw Refusal("");
    store.empty();
}

void runCompact(Session& session) {
    openHistory(session).close();
    try {
        history_db::compactHistoryDatabase(session.path(kHistoryOption));
    } catch (const history_db::CompactionFailed& failure) {
        throw Refusal(failure.what());
    }
    session.report.status(history_db::kClosedStatus);
}

void runCount(Session& session) { session.out << openHistory(session).count() << '\n'; }

}  // namespace kv::cli
