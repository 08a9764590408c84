#include "game/glyph_table.h"

#include <utility>

const std::map<char, std::string>& glyph_table::names() {
    static const std::map<char, std::string> glyphs = [] {
        std::map<char, std::string> table;
        for (char c = '0'; c <= '9'; ++c) {
            table[c] = std::string(1, c);
        }
        // There is no glyph for 'X'.
        for (char c = 'A'; c <= 'Z'; ++c) {
            if (c != 'X') {
                table[c] = std::string("u") + static_cast<char>(c - 'A' + 'a');
            }
        }
        const std::pair<char, const char*> punctuation[] = {
            {' ', "space"},      {'!', "exclamation"},  {'"', "doublequotes"}, {'#', "hash"},
            {'$', "dollar"},     {'%', "percent"},      {'&', "ampersand"},    {'\'', "apostrophe"},
            {'(', "openparen"},  {')', "closeparen"},   {'*', "asterisk"},     {'+', "plus"},
            {',', "comma"},      {'-', "minus"},        {'.', "dot"},          {'/', "slash"},
            {':', "colon"},      {';', "semicolon"},    {'<', "openangle"},    {'=', "equals"},
            {'>', "closeangle"}, {'?', "question"},     {'@', "at"},           {'[', "openbracket"},
            {'\\', "backslash"}, {']', "closebracket"}, {'^', "caret"},        {'_', "underscore"},
            {'`', "thing"},      {'{', "opencurly"},    {'|', "pipe"},         {'}', "closecurly"},
            {'~', "tilde"},
        };
        for (const auto& [c, name] : punctuation) {
            table[c] = name;
        }
        return table;
    }();
    return glyphs;
}
