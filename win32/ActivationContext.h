#pragma once
// An activation context made from a manifest resource of a module: what it names
// (a side-by-side assembly such as version 6 of the common controls) is bound to
// the DLL loads and window classes of a thread while the context is active there.
// Made at run time, the context resolves its assemblies only when the program asks
// for them, not when Windows creates the process.

#include "UniqueHandle.h"

#include <windows.h>

namespace win {

class ActivationContext {
public:
    // Keeps the context active on the thread that activated it, until it goes.
    class Activation {
    public:
        Activation() noexcept = default;
        explicit Activation(ULONG_PTR cookie) noexcept : m_cookie(cookie), m_active(true) {}
        Activation(const Activation&) = delete;
        Activation& operator=(const Activation&) = delete;
        ~Activation() {
            if (m_active) ::DeactivateActCtx(0, m_cookie);
        }
        explicit operator bool() const noexcept { return m_active; }

    private:
        ULONG_PTR m_cookie = 0;
        bool m_active = false;
    };

    // CreateActCtxW, or what a test puts in its place.
    using Creator = HANDLE(WINAPI*)(PCACTCTXW request);

    // The context of the RT_MANIFEST resource `resource` in the file of `module`;
    // an empty one when the system refused it (its manifest or an assembly it
    // names could not be found). An assembly that is not in the system's store is
    // looked for in the system directory, never in the module's folder, where a
    // configuration file beside the program could otherwise send Windows to a
    // planted copy. Throws only what an allocation throws.
    [[nodiscard]] static ActivationContext FromResource(HMODULE module, WORD resource,
                                                        Creator create = &::CreateActCtxW);

    explicit operator bool() const noexcept { return static_cast<bool>(m_context); }
    // Activates the context on the calling thread; an empty guard when it is empty
    // or the system refused.
    [[nodiscard]] Activation Activate() const noexcept;

private:
    struct Releaser {
        void operator()(HANDLE context) const noexcept { ::ReleaseActCtx(context); }
    };

    explicit ActivationContext(HANDLE context) noexcept : m_context(context) {}

    unique_any<HANDLE, Releaser> m_context;
};

}  // namespace win
