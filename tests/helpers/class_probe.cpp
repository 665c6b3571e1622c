// A COM client of its build's bitness: it creates each class whose CLSID it is
// given, as any program would, and writes what CoCreateInstance answered for each,
// one HRESULT in hex a line, to OUTPUT. Ends with 1 when OUTPUT cannot be written.
//   class_probe OUTPUT {CLSID}...

#include <objbase.h>
#include <windows.h>

#include <cstdio>

namespace {

HRESULT Create(const char* text) {
    wchar_t wide[64] = {};
    if (!::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64)) return E_INVALIDARG;
    CLSID clsid{};
    if (const HRESULT parsed = ::CLSIDFromString(wide, &clsid); FAILED(parsed)) return parsed;
    IUnknown* object = nullptr;
    const HRESULT created = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                               reinterpret_cast<void**>(&object));
    if (object) object->Release();
    return created;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    const HRESULT initialized = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int i = 2; i < argc; ++i) {
        std::fprintf(out, "%08lx\n", static_cast<unsigned long>(FAILED(initialized) ? initialized : Create(argv[i])));
    }
    if (SUCCEEDED(initialized)) ::CoUninitialize();
    return std::fclose(out) == 0 ? 0 : 1;
}
