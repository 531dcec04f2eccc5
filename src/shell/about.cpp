#include "shell/about.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kv::shell {
namespace {

// What the program is, and a word on why it keeps history.
const char* const kAboutComments =
    "History manager for N1MM Logger\r\r\n"
    "\"Look back at what has been,\r\n"
    "learn why it came about,\r\n"
    "and it need not come again.\"";

}  // namespace

void About1Click(ui::Ui& ui) {
    const std::string path = ui.programDirectory() + kIconFileName;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream icon;
    // Reading a folder or an empty file extracts nothing, which fails the stream as a missing file does.
    if (!in || !(icon << in.rdbuf())) throw std::runtime_error("Cannot open file " + path);
    ui.showAboutBox({path, icon.str(), kAboutComments});
}

}  // namespace kv::shell
