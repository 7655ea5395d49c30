#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <mutex>

#include "support/fake_host.h"

namespace stats::test {

std::ostream& operator<<(std::ostream& out, const ReceivedMacro& macro) {
    return out << "{" << macro.text << (macro.accepted ? ", accepted" : ", refused") << ", note " << macro.note
               << "}";
}

namespace {

// The class the fake registers for "Zorv2.Application"; any fixed one does.
const CLSID kFakeClassId = {0x5b0e7d41, 0x3c2a, 0x4f19, {0x9d, 0x6e, 0x21, 0x7a, 0x44, 0xc3, 0x8b, 0x05}};
const char kFakeClassIdText[] = "{5B0E7D41-3C2A-4F19-9D6E-217A44C38B05}";
constexpr DISPID kRunMacro = 16;

std::string Narrow(BSTR text) {
    const int wide = static_cast<int>(SysStringLen(text));
    const int length = WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_ACP, 0, text, wide, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

// The host's automation object: counts its references and records every
// call of member 16, refusing whatever is not the call a host expects.
class FakeObject final : public IDispatch {
public:
    LONG refs = 0;
    HostMode mode = HostMode::kAbsent;
    std::vector<ReceivedMacro> received;
    std::function<std::string()> observer;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    // The fake lives as long as the FakeHost, whatever the count says.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&refs)); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        std::string text;
        if (member != kRunMacro)
            text = "?member " + std::to_string(member);
        else if (!IsEqualIID(iid, IID_NULL))
            text = "?interface identifier not IID_NULL";
        else if (flags != DISPATCH_METHOD)
            text = "?flags " + std::to_string(flags);
        else if (params == nullptr || params->cArgs != 1 || params->cNamedArgs != 0)
            text = "?not one positional argument";
        else if (params->rgvarg[0].vt != VT_BSTR)
            text = "?argument type " + std::to_string(params->rgvarg[0].vt);
        else if (result != nullptr)
            text = "?a result was asked for";
        else
            text = Narrow(params->rgvarg[0].bstrVal);
        const bool wellFormed = text.empty() || text[0] != '?';
        received.push_back({text, wellFormed && mode == HostMode::kPresent, observer ? observer() : std::string()});
        if (!wellFormed) return DISP_E_BADPARAMCOUNT;
        switch (mode) {
            case HostMode::kPresent:
                return S_OK;
            case HostMode::kFailing:
                if (exception != nullptr) {
                    *exception = EXCEPINFO{};
                    exception->scode = E_FAIL;
                    exception->bstrSource = SysAllocString(L"Zorv");
                    exception->bstrDescription = SysAllocString(L"The macro failed");
                }
                return DISP_E_EXCEPTION;
            default:
                return E_FAIL;
        }
    }
};

}  // namespace

bool ThreadInApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr != S_OK;
}

struct FakeHost::State {
    FakeObject object;
    bool registered = false;  // the programmatic identifier, in the registry
    bool initialized = false;  // this thread's apartment, entered by the fake
    bool running = false;      // in the running-object table
    DWORD cookie = 0;
    LONG tableRefs = 0;        // the references the table took

    void Run() {
        if (running) return;
        if (!initialized) initialized = SUCCEEDED(CoInitialize(nullptr));
        const LONG before = object.refs;
        running = SUCCEEDED(RegisterActiveObject(&object, kFakeClassId, ACTIVEOBJECT_STRONG, &cookie));
        tableRefs = object.refs - before;
        if (!running) ADD_FAILURE() << "the fake host could not enter the running-object table";
    }

    void Stop() {
        if (running) RevokeActiveObject(cookie, nullptr);
        running = false;
        tableRefs = 0;
        if (initialized) CoUninitialize();
        initialized = false;
    }
};

// The identifier is registered as the host's setup leaves it, whether the host
// runs or not; the test's Wine prefix is its own.
FakeHost::FakeHost() : state_(new State) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "Zorv2.Application\\CLSID", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        state_->registered = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kFakeClassIdText),
                                            sizeof kFakeClassIdText) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (!state_->registered) ADD_FAILURE() << "could not register Zorv2.Application";
}

FakeHost::~FakeHost() {
    state_->Stop();
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Zorv2.Application\\CLSID");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Zorv2.Application");
    delete state_;
}

void FakeHost::SetMode(HostMode mode) {
    if (mode == HostMode::kHung) {
        ADD_FAILURE() << "an object in this process cannot hang without hanging the test";
        return;
    }
    state_->object.mode = mode;
    if (mode == HostMode::kAbsent)
        state_->Stop();
    else
        state_->Run();
}

std::vector<ReceivedMacro> FakeHost::Received() { return state_->object.received; }

void FakeHost::OnMacro(std::function<std::string()> observer) { state_->object.observer = std::move(observer); }

// Nothing here happens later than the call that causes it.
int FakeHost::PluginLinks(int) { return static_cast<int>(state_->object.refs - state_->tableRefs); }

}  // namespace stats::test
