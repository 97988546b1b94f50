// Connection on Windows: ADO's ADODB.Connection, driven through COM automation
// (IDispatch), so no generated type library headers are needed.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "connector/connection.h"
#include "platform/wide_text.h"
#include "text/error.h"

namespace kelv {

namespace {

constexpr const char* kSource = "ADODB.Connection";

std::string HResultText(HRESULT hr) {
  std::string text = LastErrorMessage(static_cast<unsigned long>(hr));
  char code[16];
  wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
  return text.empty() ? std::string("Error ") + code : text + " (" + code + ")";
}

// A BSTR owned for the length of one call.
class Bstr {
 public:
  explicit Bstr(std::string_view text) : value_(SysAllocString(Utf8ToWide(text).c_str())) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

// The members of ADODB.Connection used here, looked up once per object.
enum Member : std::size_t { kState, kClose, kCursorLocation, kConnectionString, kOpen, kMembers };
constexpr const wchar_t* kMemberNames[kMembers] = {L"State", L"Close", L"CursorLocation",
                                                   L"ConnectionString", L"Open"};

class AdoConnection final : public Connection {
 public:
  AdoConnection() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"ADODB.Connection", &clsid);
    if (SUCCEEDED(hr)) {
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                            IID_IDispatch, reinterpret_cast<void**>(&ado_));
    }
    if (FAILED(hr)) {
      ado_ = nullptr;
      createFailure_ = "No se pudo crear el objeto ADODB.Connection: " + HResultText(hr);
      return;
    }
    // Every member used must be reachable by name; an object that does not offer them
    // (an incomplete ADO) counts as no ADO at all.
    for (std::size_t i = 0; i < kMembers; ++i) {
      LPOLESTR names[] = {const_cast<LPOLESTR>(kMemberNames[i])};
      hr = ado_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &ids_[i]);
      if (FAILED(hr)) {
        createFailure_ = "El objeto ADODB.Connection no ofrece " + WideToUtf8(kMemberNames[i]) +
                         ": " + HResultText(hr);
        ado_->Release();
        ado_ = nullptr;
        return;
      }
    }
  }

  ~AdoConnection() override {
    if (ado_) {
      try {
        if (State() == kStateOpen) Call(kClose, DISPATCH_METHOD, {});
      } catch (...) {
      }
      ado_->Release();
    }
    if (comInitialized_) CoUninitialize();
  }

  // A state that cannot be read counts as closed.
  int State() const override {
    if (!ado_) return kStateClosed;
    try {
      return static_cast<int>(GetLong(kState));
    } catch (const KelvError&) {
      return kStateClosed;
    }
  }

  void Close() override {
    Require();
    Call(kClose, DISPATCH_METHOD, {});
  }

  int CursorLocation() const override {
    return ado_ ? static_cast<int>(GetLong(kCursorLocation)) : cursorLocation_;
  }
  void CursorLocation(int value) override {
    if (ado_) {
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_I4;
      v.lVal = value;
      Put(kCursorLocation, v);
    }
    cursorLocation_ = value;
  }

  const std::string& ConnectionString() const override {
    if (ado_) {
      VARIANT v = Call(kConnectionString, DISPATCH_PROPERTYGET, {});
      if (v.vt == VT_BSTR && v.bstrVal) {
        connectionString_ = WideToUtf8(std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)));
      } else {
        connectionString_.clear();
      }
      VariantClear(&v);
    }
    return connectionString_;
  }
  void ConnectionString(std::string_view value) override {
    if (ado_) {
      Bstr text(value);
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_BSTR;
      v.bstrVal = text.get();
      Put(kConnectionString, v);
    }
    connectionString_ = std::string(value);
  }

  void Open(std::string_view connectionString, std::string_view user, std::string_view password,
            int options) override {
    Require();
    Bstr cs(connectionString), uid(user), pwd(password);
    // Arguments go in reverse order; an empty connection string is left out, so the
    // ConnectionString property applies.
    std::vector<VARIANT> args(4);
    for (VARIANT& a : args) VariantInit(&a);
    args[0].vt = VT_I4;
    args[0].lVal = options;
    args[1].vt = VT_BSTR;
    args[1].bstrVal = pwd.get();
    args[2].vt = VT_BSTR;
    args[2].bstrVal = uid.get();
    if (connectionString.empty()) {
      args[3].vt = VT_ERROR;
      args[3].scode = DISP_E_PARAMNOTFOUND;
    } else {
      args[3].vt = VT_BSTR;
      args[3].bstrVal = cs.get();
    }
    VARIANT result = Call(kOpen, DISPATCH_METHOD, args);
    VariantClear(&result);
  }

 private:
  void Require() const {
    if (!ado_) throw KelvError(kErrObjectNotSet, kSource, createFailure_);
  }

  long GetLong(Member member) const {
    VARIANT v = Call(member, DISPATCH_PROPERTYGET, {});
    VARIANT asLong;
    VariantInit(&asLong);
    const HRESULT hr = VariantChangeType(&asLong, &v, 0, VT_I4);
    VariantClear(&v);
    if (FAILED(hr)) throw KelvError(kErrTypeMismatch, kSource, HResultText(hr));
    return asLong.lVal;
  }

  void Put(Member member, VARIANT& value) {
    std::vector<VARIANT> args{value};
    VARIANT result = Call(member, DISPATCH_PROPERTYPUT, args);
    VariantClear(&result);
  }

  // Invokes a member; args in reverse order, as IDispatch wants them. Failures throw
  // KelvError with ADO's own description when it gave one.
  VARIANT Call(Member member, WORD flags, std::vector<VARIANT> args) const {
    Require();
    const DISPID id = ids_[member];
    DISPPARAMS params{};
    DISPID putId = DISPID_PROPERTYPUT;
    params.cArgs = static_cast<UINT>(args.size());
    params.rgvarg = args.empty() ? nullptr : args.data();
    if (flags == DISPATCH_PROPERTYPUT) {
      params.cNamedArgs = 1;
      params.rgdispidNamedArgs = &putId;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT badArgument = 0;
    const HRESULT hr = ado_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &info, &badArgument);
    if (SUCCEEDED(hr)) return result;
    std::string description;
    int number = kErrInvalidArgument;
    if (hr == DISP_E_EXCEPTION) {
      if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      if (info.bstrDescription) {
        description = WideToUtf8(std::wstring_view(info.bstrDescription, SysStringLen(info.bstrDescription)));
      }
      if (info.scode != 0) number = static_cast<int>(info.scode);
      if (description.empty()) description = HResultText(info.scode ? info.scode : hr);
      SysFreeString(info.bstrSource);
      SysFreeString(info.bstrDescription);
      SysFreeString(info.bstrHelpFile);
    } else {
      description = HResultText(hr);
    }
    throw KelvError(number, kSource, description);
  }

  IDispatch* ado_ = nullptr;
  DISPID ids_[kMembers] = {};
  bool comInitialized_ = false;
  std::string createFailure_;
  int cursorLocation_ = kUseServer;
  mutable std::string connectionString_;
};

}  // namespace

std::shared_ptr<Connection> NewConnection() { return std::make_shared<AdoConnection>(); }

}  // namespace kelv
