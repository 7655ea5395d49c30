#include <cxxabi.h>

#include <cstdlib>

#include "support/exported_names.h"

namespace stats::test {
namespace {

// The Itanium demangler's spelling of a parameter list.
std::string Signature(const char* name, const char* params) {
    std::string text = std::string(name) + "(";
    for (const char* p = params; *p; ++p) {
        if (p != params) text += ", ";
        switch (*p) {
            case 't': text += "char const*"; break;
            case 'i': text += "int"; break;
            case 'u': text += "unsigned int"; break;
            case 'd': text += "double"; break;
            case 'D': text += "DateTimeValue const*"; break;
            case 'b': text += "char*"; break;
            case 'p': text += "int*"; break;
        }
    }
    return text + ")";
}

}  // namespace

std::vector<ExportedName> ExportedNames() {
    return {
        {"ResetStats0", "_Z11ResetStats0PKciS0_PK13DateTimeValueS3_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_",
         Signature("ResetStats0", params::kResetStats0)},
        {"AddData0",
         "_Z8AddData0PKcS0_PK13DateTimeValueS3_S3_S3_jjS0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_S0_"
         "S0_",
         Signature("AddData0", params::kQsoBlock)},
        {"RemoveData0",
         "_Z11RemoveData0PKcS0_PK13DateTimeValueS3_S3_S3_jjS0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_"
         "S0_S0_",
         Signature("RemoveData0", params::kQsoBlock)},
        {"CheckCall0", "_Z14CheckCallFunc0PKcjjS0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_S0_S0_S0_S0_PcS1_",
         Signature("CheckCallFunc0", params::kCheckCall0)},
        {"GetResult0", "_Z10GetResult0Pi", Signature("GetResult0", "p")},
        {"GetNumberOfSets", "_Z15GetNumberOfSetsv", Signature("GetNumberOfSets", "")},
        {"GetSetName", "_Z10GetSetNamei", Signature("GetSetName", "i")},
        {"SetupSet0", "_Z9SetupSet0v", Signature("SetupSet0", "")},
        {"IsValidExchg0", "_Z18StatsIsValidExchg0PKcS0_S0_S0_iii",
         Signature("StatsIsValidExchg0", params::kIsValidExchg0)},
        {"GetExchgCount0", "_Z19StatsGetExchgCount0PKcS0_S0_",
         Signature("StatsGetExchgCount0", params::kGetExchgCount0)},
    };
}

std::string DescribeDecorated(const std::string& decorated) {
    int status = 0;
    char* text = abi::__cxa_demangle(decorated.c_str(), nullptr, nullptr, &status);
    std::string result = status == 0 && text ? text : "<not demangled: " + decorated + ">";
    std::free(text);
    return result;
}

}  // namespace stats::test
