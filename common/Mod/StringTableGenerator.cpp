// Build-time tool: turns the string table's source file into a C++ file.
// Usage: glm_string_table_generator INPUT OUTPUT
// Fails (exit 1, message on stderr naming file and line) on a malformed
// line, an unknown escape or a repeated id, so a bad table never builds.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

struct Failure {
    std::string text;
};

std::string Unescape(const std::string& quoted) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        throw Failure{"the text must be written in double quotes"};
    }
    std::string result;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '"') {
            throw Failure{"unescaped double quote inside the text"};
        }
        if (c != '\\') {
            result.push_back(c);
            continue;
        }
        if (i + 2 >= quoted.size()) {
            throw Failure{"a backslash ends the text"};
        }
        c = quoted[++i];
        switch (c) {
        case 'n':
            result.push_back('\n');
            break;
        case 't':
            result.push_back('\t');
            break;
        case 'r':
            result.push_back('\r');
            break;
        case '\\':
        case '"':
            result.push_back(c);
            break;
        default:
            throw Failure{std::string("unknown escape \\") + c};
        }
    }
    return result;
}

// Octal escapes for everything but plain printable ASCII, so the literal
// means exactly the bytes of the text whatever they are.
std::string CppLiteral(const std::string& text) {
    std::string literal = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?') {
            literal.push_back(static_cast<char>(c));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", c);
            literal += escape;
        }
    }
    return literal + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: glm_string_table_generator INPUT OUTPUT\n";
        return 1;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::map<std::uint32_t, std::string> table;
    std::string line;
    int lineNumber = 0;
    try {
        while (std::getline(input, line)) {
            ++lineNumber;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.empty() || line.front() == '#') {
                continue;
            }
            const std::size_t tab = line.find('\t');
            if (tab == std::string::npos || tab == 0) {
                throw Failure{"expected ID<TAB>\"text\""};
            }
            const std::string idText = line.substr(0, tab);
            if (idText.find_first_not_of("0123456789") != std::string::npos || idText.size() > 9) {
                throw Failure{"the id '" + idText + "' is not a decimal number"};
            }
            const auto id = static_cast<std::uint32_t>(std::stoul(idText));
            if (!table.emplace(id, Unescape(line.substr(tab + 1))).second) {
                throw Failure{"the id " + idText + " appears twice"};
            }
        }
    } catch (const Failure& failure) {
        std::cerr << argv[1] << ":" << lineNumber << ": " << failure.text << "\n";
        return 1;
    }

    std::ostringstream out;
    out << "// Generated from resources/strings/strings.txt; do not edit.\n"
        << "#include \"common/Mod/StringTable.h\"\n\n"
        << "namespace Mod {\n\n"
        << "const StringTableEntry kStringTable[] = {\n";
    for (const auto& [id, text] : table) {
        out << "    {" << id << "u, " << CppLiteral(text) << ", " << text.size() << "u},\n";
    }
    if (table.empty()) {
        out << "    {0u, \"\", 0u},\n";
    }
    out << "};\n\nconst std::size_t kStringTableSize = " << table.size() << "u;\n\n} // namespace Mod\n";

    const std::string generated = out.str();
    std::ofstream output(argv[2], std::ios::trunc);
    output << generated;
    output.close();
    if (!output) {
        std::cerr << argv[2] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
