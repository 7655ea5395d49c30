#include "platform/host_automation.h"

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace stats::platform {
namespace {

IUnknown* FromHandle(AutomationObject object) { return reinterpret_cast<IUnknown*>(object); }
AutomationObject ToHandle(IUnknown* object) { return reinterpret_cast<AutomationObject>(object); }

CLSID ClassOf(const AutomationClass& cls) {
    CLSID id = CLSID_NULL;
    if (cls.identity.size() == sizeof id) std::memcpy(&id, cls.identity.data(), sizeof id);
    return id;
}

}  // namespace

// The result is not tested: an unregistered identifier leaves the null class,
// which GetActiveObject never finds.
AutomationClass MapProgrammaticId(const char* programmaticId) {
    CLSID id = CLSID_NULL;
    if (programmaticId != nullptr) {
        const int length = MultiByteToWideChar(CP_ACP, 0, programmaticId, -1, nullptr, 0);
        std::vector<wchar_t> wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
        if (length > 0) MultiByteToWideChar(CP_ACP, 0, programmaticId, -1, wide.data(), length);
        CLSIDFromProgID(wide.data(), &id);
    }
    return {std::string(reinterpret_cast<const char*>(&id), sizeof id)};
}

// The host's thread is often in its apartment already (S_FALSE); the pair
// counts either way.
void EnterAutomation() { CoInitialize(nullptr); }

void LeaveAutomation() { CoUninitialize(); }

AutomationObject GetRunningObject(const AutomationClass& cls) {
    const CLSID id = ClassOf(cls);
    IUnknown* unknown = nullptr;
    if (FAILED(GetActiveObject(id, nullptr, &unknown))) return 0;
    return ToHandle(unknown);
}

AutomationObject QueryDispatch(AutomationObject object) {
    if (object == 0) return 0;
    IDispatch* dispatch = nullptr;
    if (FAILED(FromHandle(object)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return 0;
    return ToHandle(dispatch);
}

void ReleaseObject(AutomationObject object) {
    if (object != 0) FromHandle(object)->Release();
}

bool InvokeWithText(AutomationObject dispatch, int dispatchId, const std::string& text) {
    if (dispatch == 0) return false;
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR argument = SysAllocStringLen(nullptr, static_cast<UINT>(length > 0 ? length : 0));
    if (argument == nullptr) return false;
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), argument, length);

    VARIANTARG arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = argument;
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    const HRESULT hr = reinterpret_cast<IDispatch*>(dispatch)->Invoke(
        static_cast<DISPID>(dispatchId), IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception, &argumentError);
    SysFreeString(argument);
    // What the host filled in about its failure is not kept.
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(hr);
}

}  // namespace stats::platform
