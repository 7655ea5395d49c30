#include <windows.h>
// dbghelp.h needs the declarations of windows.h first.
#include <dbghelp.h>

#include "support/exported_names.h"

namespace stats::test {
namespace {

// The system demangler's spelling of a cdecl function.
std::string Signature(const char* result, const char* name, const char* params) {
    std::string text = std::string(result) + " __cdecl " + name + "(";
    if (*params == '\0') text += "void";
    for (const char* p = params; *p; ++p) {
        if (p != params) text += ",";
        switch (*p) {
            case 't': text += "char const *"; break;
            case 'i': text += "int"; break;
            case 'u': text += "unsigned int"; break;
            case 'd': text += "double"; break;
            case 'D': text += "struct DateTimeValue const *"; break;
            case 'b': text += "char *"; break;
            case 'p': text += "int *"; break;
        }
    }
    return text + ")";
}

}  // namespace

std::vector<ExportedName> ExportedNames() {
    return {
        {"ResetStats0", "?ResetStats0@@YAHPBDH0PBUDateTimeValue@@10000000000HHHNN000@Z",
         Signature("int", "ResetStats0", params::kResetStats0)},
        {"AddData0", "?AddData0@@YAHPBD0PBUDateTimeValue@@111II000000000000000HHHNN00000@Z",
         Signature("int", "AddData0", params::kQsoBlock)},
        {"RemoveData0", "?RemoveData0@@YAHPBD0PBUDateTimeValue@@111II000000000000000HHHNN00000@Z",
         Signature("int", "RemoveData0", params::kQsoBlock)},
        {"CheckCall0", "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z",
         Signature("int", "CheckCallFunc0", params::kCheckCall0)},
        {"GetResult0", "?GetResult0@@YAPADPAH@Z", Signature("char *", "GetResult0", "p")},
        {"GetNumberOfSets", "?GetNumberOfSets@@YAHXZ", Signature("int", "GetNumberOfSets", "")},
        {"GetSetName", "?GetSetName@@YAPADH@Z", Signature("char *", "GetSetName", "i")},
        {"SetupSet0", "?SetupSet0@@YAXXZ", Signature("void", "SetupSet0", "")},
        {"IsValidExchg0", "?StatsIsValidExchg0@@YAHPBD000HHH@Z",
         Signature("int", "StatsIsValidExchg0", params::kIsValidExchg0)},
        {"GetExchgCount0", "?StatsGetExchgCount0@@YAHPBD00@Z",
         Signature("int", "StatsGetExchgCount0", params::kGetExchgCount0)},
    };
}

std::string DescribeDecorated(const std::string& decorated) {
    char text[2048];
    if (UnDecorateSymbolName(decorated.c_str(), text, sizeof text, UNDNAME_COMPLETE) == 0)
        return "<not demangled: " + decorated + ">";
    return text;
}

}  // namespace stats::test
