#include "ActivationContext.h"

#include "SystemLibrary.h"

namespace win {

ActivationContext ActivationContext::FromResource(HMODULE module, WORD resource) {
    // CreateActCtx reads the resource from the file that lpSource names.
    const std::wstring path = ModulePath(module);
    if (path.empty()) return ActivationContext(nullptr);
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = module;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(resource);
    const HANDLE context = ::CreateActCtxW(&request);
    return ActivationContext(context == INVALID_HANDLE_VALUE ? nullptr : context);
}

ActivationContext::Activation ActivationContext::Activate() const noexcept {
    ULONG_PTR cookie = 0;
    if (!m_context || !::ActivateActCtx(m_context.get(), &cookie)) return {};
    return Activation(cookie);
}

}  // namespace win
