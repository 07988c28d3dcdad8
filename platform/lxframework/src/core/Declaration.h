#pragma once

#include <lxframework/Value.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lx {

// The parsed form of a member's declaration string, such as
// "AddShapeFromString(data as String, insertPos as Integer=-1)" or
// "GetPicture as Picture". The framework needs it for event names and
// signatures; binding names use the raw text.
struct Declaration {
    struct Parameter {
        std::string name;
        std::string type;
        bool byRef = false;
        std::string defaultValue;
    };
    std::string name;
    std::vector<Parameter> parameters;
    std::string resultType; // empty when the member has no result
};

std::optional<Declaration> ParseDeclaration(std::string_view text);

// The value kind of a type name; class names and String are objects.
ValueType TypeFromName(std::string_view typeName);

}
