#include "ActivationContext.h"

#include "SystemLibrary.h"

namespace win {

ActivationContext ActivationContext::FromResource(HMODULE module, WORD resource, Creator create) {
    // CreateActCtx reads the resource from the file that lpSource names.
    const std::wstring path = ModulePath(module);
    // By default, private assemblies are looked for in the manifest's folder.
    const std::wstring assemblies = SystemDllDirectory();
    if (path.empty() || assemblies.empty()) return ActivationContext(nullptr);
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags =
        ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_ASSEMBLY_DIRECTORY_VALID;
    request.hModule = module;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(resource);
    request.lpAssemblyDirectory = assemblies.c_str();
    const HANDLE context = create(&request);
    return ActivationContext(context == INVALID_HANDLE_VALUE ? nullptr : context);
}

ActivationContext::Activation ActivationContext::Activate() const noexcept {
    ULONG_PTR cookie = 0;
    if (!m_context || !::ActivateActCtx(m_context.get(), &cookie)) return {};
    return Activation(cookie);
}

}  // namespace win
