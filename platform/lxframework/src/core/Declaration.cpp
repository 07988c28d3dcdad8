#include "Declaration.h"

#include <algorithm>
#include <cctype>

namespace lx {

namespace {

    bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
    bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

    std::string_view Trim(std::string_view text)
    {
        while (!text.empty() && IsBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.back()))
            text.remove_suffix(1);
        return text;
    }

    std::vector<std::string_view> Words(std::string_view text)
    {
        std::vector<std::string_view> words;
        std::size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && IsBlank(text[i]))
                ++i;
            std::size_t start = i;
            while (i < text.size() && !IsBlank(text[i]))
                ++i;
            if (i > start)
                words.push_back(text.substr(start, i - start));
        }
        return words;
    }

    // The records write the keywords in either case ("as", "As", "ByRef").
    bool IsKeyword(std::string_view word, std::string_view keyword)
    {
        return std::equal(word.begin(), word.end(), keyword.begin(), keyword.end(),
            [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    }

    bool IsName(std::string_view word) { return !word.empty() && std::all_of(word.begin(), word.end(), IsNameChar); }

    std::optional<Declaration::Parameter> ParseParameter(std::string_view text)
    {
        Declaration::Parameter parameter;
        if (std::size_t equals = text.find('='); equals != std::string_view::npos) {
            parameter.defaultValue = Trim(text.substr(equals + 1));
            if (parameter.defaultValue.empty())
                return std::nullopt;
            text = text.substr(0, equals);
        }
        std::vector<std::string_view> words = Words(text);
        if (!words.empty() && IsKeyword(words.front(), "byref")) {
            parameter.byRef = true;
            words.erase(words.begin());
        }
        if (words.size() != 3 || !IsName(words[0]) || !IsKeyword(words[1], "as") || !IsName(words[2]))
            return std::nullopt;
        parameter.name = words[0];
        parameter.type = words[2];
        return parameter;
    }

}

std::optional<Declaration> ParseDeclaration(std::string_view text)
{
    text = Trim(text);
    std::size_t nameEnd = 0;
    while (nameEnd < text.size() && IsNameChar(text[nameEnd]))
        ++nameEnd;
    Declaration declaration;
    declaration.name = text.substr(0, nameEnd);
    if (declaration.name.empty())
        return std::nullopt;
    std::string_view rest = Trim(text.substr(nameEnd));

    if (!rest.empty() && rest.front() == '(') {
        std::size_t close = rest.find(')');
        if (close == std::string_view::npos)
            return std::nullopt;
        std::string_view list = Trim(rest.substr(1, close - 1));
        rest = Trim(rest.substr(close + 1));
        while (!list.empty()) {
            std::size_t comma = std::min(list.find(','), list.size());
            auto parameter = ParseParameter(list.substr(0, comma));
            if (!parameter)
                return std::nullopt;
            declaration.parameters.push_back(std::move(*parameter));
            if (comma == list.size())
                break;
            list = list.substr(comma + 1);
            if (Trim(list).empty())
                return std::nullopt;
        }
    }

    std::vector<std::string_view> words = Words(rest);
    if (words.empty())
        return declaration;
    if (words.size() != 2 || !IsKeyword(words[0], "as") || !IsName(words[1]))
        return std::nullopt;
    declaration.resultType = words[1];
    return declaration;
}

ValueType TypeFromName(std::string_view typeName)
{
    if (typeName == "Integer")
        return ValueType::Integer;
    if (typeName == "Double")
        return ValueType::Double;
    if (typeName == "Boolean")
        return ValueType::Boolean;
    if (typeName == "Color")
        return ValueType::Color;
    return ValueType::Object;
}

}
