// IDispatch without a type library: names and dispatch identifiers of the members the saver
// uses, each routed to the same code as its vtable member.
#include "standin/flash/StandinControl.h"

namespace swfsaver::flash {
namespace {

struct NamedMember {
  const wchar_t* name;
  DISPID id;
};

constexpr NamedMember kMembers[] = {
    {L"Movie", flashapi::kDispidMovie},
    {L"Play", flashapi::kDispidPlay},
    {L"BackgroundColor", flashapi::kDispidBackgroundColor},
    {L"TotalFrames", flashapi::kDispidTotalFrames},
    {L"CurrentFrame", flashapi::kDispidCurrentFrame},
};

bool IsPropertyGet(WORD flags) { return (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0; }
bool IsPropertyPut(WORD flags) { return (flags & DISPATCH_PROPERTYPUT) != 0; }

// The single argument of a property put, converted to type; arguments come in reverse order,
// so it is rgvarg[0]. Accepts the named-argument marker DISPID_PROPERTYPUT or none.
HRESULT PutArgument(const DISPPARAMS* params, VARTYPE type, VARIANT& value, UINT* argumentError) {
  if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  if (params->cNamedArgs > 1 ||
      (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
    return DISP_E_NONAMEDARGS;
  }
  VariantInit(&value);
  const HRESULT hr = VariantChangeType(&value, &params->rgvarg[0], 0, type);
  if (FAILED(hr)) {
    if (argumentError) *argumentError = 0;
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT NoArguments(const DISPPARAMS* params) {
  return params && params->cArgs != 0 ? DISP_E_BADPARAMCOUNT : S_OK;
}

HRESULT ReturnLong(HRESULT hr, long value, VARIANT* result) {
  if (SUCCEEDED(hr) && result) {
    VariantInit(result);
    V_VT(result) = VT_I4;
    V_I4(result) = value;
  }
  return hr;
}

}  // namespace

HRESULT STDMETHODCALLTYPE StandinControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE StandinControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                        LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  // Only the member name is known; names of parameters (count > 1) are not.
  HRESULT hr = count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  ids[0] = DISPID_UNKNOWN;
  for (const NamedMember& member : kMembers) {
    if (names[0] && CompareStringOrdinal(names[0], -1, member.name, -1, TRUE) == CSTR_EQUAL) {
      ids[0] = member.id;
    }
  }
  return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : hr;
}

HRESULT STDMETHODCALLTYPE StandinControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                                 DISPPARAMS* params, VARIANT* result,
                                                 EXCEPINFO*, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  VARIANT argument;
  HRESULT hr = S_OK;
  switch (id) {
    case flashapi::kDispidMovie:
      if (IsPropertyPut(flags)) {
        if (FAILED(hr = PutArgument(params, VT_BSTR, argument, argumentError))) return hr;
        hr = put_Movie(V_BSTR(&argument));
        VariantClear(&argument);
        return hr;
      }
      if (IsPropertyGet(flags)) {
        if (FAILED(hr = NoArguments(params))) return hr;
        BSTR path = nullptr;
        if (FAILED(hr = get_Movie(&path))) return hr;
        if (!result) {
          SysFreeString(path);
          return S_OK;
        }
        VariantInit(result);
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = path;
        return S_OK;
      }
      return DISP_E_MEMBERNOTFOUND;
    case flashapi::kDispidBackgroundColor:
      if (IsPropertyPut(flags)) {
        if (FAILED(hr = PutArgument(params, VT_I4, argument, argumentError))) return hr;
        return put_BackgroundColor(V_I4(&argument));
      }
      if (IsPropertyGet(flags)) {
        if (FAILED(hr = NoArguments(params))) return hr;
        long color = 0;
        hr = get_BackgroundColor(&color);
        return ReturnLong(hr, color, result);
      }
      return DISP_E_MEMBERNOTFOUND;
    case flashapi::kDispidTotalFrames: {
      if (!IsPropertyGet(flags)) return DISP_E_MEMBERNOTFOUND;
      if (FAILED(hr = NoArguments(params))) return hr;
      long frames = 0;
      hr = get_TotalFrames(&frames);
      return ReturnLong(hr, frames, result);
    }
    case flashapi::kDispidPlay:
      if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
      if (FAILED(hr = NoArguments(params))) return hr;
      return Play();
    case flashapi::kDispidCurrentFrame: {
      if (!IsPropertyGet(flags)) return DISP_E_MEMBERNOTFOUND;
      if (FAILED(hr = NoArguments(params))) return hr;
      long frame = 0;
      hr = CurrentFrame(&frame);
      return ReturnLong(hr, frame, result);
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace swfsaver::flash
