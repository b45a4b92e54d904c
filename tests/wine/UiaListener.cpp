// A UI Automation client, as a Windows screen reader is one: it finds the program's window,
// asks UI Automation for it (which wakes the program's accessibility bridge), listens for
// notifications, and plays the given keys into the window as real keyboard input, then
// closes the window. Every notification it receives is printed, one per line, in
// UTF-8.
// Usage: uia_listener.exe WINDOW_TITLE KEY...   (KEY: tab, shift+tab, space, up, down)

#include <windows.h>

#include <initguid.h>

#include <uiautomation.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string utf8(const wchar_t *text)
{
    if (text == nullptr) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

// The handler lives as long as the program. COM interfaces have no virtual destructor by
// design: a COM object is ended by Release(), never by delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Listener : public IUIAutomationNotificationEventHandler
{
public:
    Listener() = default;
    virtual ~Listener() = default;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;
    Listener(Listener &&) = delete;
    Listener &operator=(Listener &&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (iid != IID_IUnknown && iid != IID_IUIAutomationNotificationEventHandler) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE HandleNotificationEvent(IUIAutomationElement * /*sender*/, NotificationKind /*kind*/,
        NotificationProcessing /*processing*/, BSTR displayString, BSTR /*activityId*/) override
    {
        std::printf("%s\n", utf8(displayString).c_str());
        std::fflush(stdout);
        return S_OK;
    }
};
#pragma GCC diagnostic pop

// Presses and releases the key, with Shift held when asked, as the keyboard would.
bool press(const std::string &name)
{
    const bool shift = name.rfind("shift+", 0) == 0;
    const std::string key = shift ? name.substr(6) : name;
    WORD code = 0;
    if (key == "tab") {
        code = VK_TAB;
    } else if (key == "space") {
        code = VK_SPACE;
    } else if (key == "up") {
        code = VK_UP;
    } else if (key == "down") {
        code = VK_DOWN;
    } else {
        std::fprintf(stderr, "unknown key: %s\n", name.c_str());
        return false;
    }
    std::vector<INPUT> inputs;
    auto add = [&](WORD virtualKey, bool up) {
        INPUT input {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (virtualKey == VK_UP || virtualKey == VK_DOWN) {
            input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
        inputs.push_back(input);
    };
    if (shift) {
        add(VK_SHIFT, false);
    }
    add(code, false);
    add(code, true);
    if (shift) {
        add(VK_SHIFT, true);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), static_cast<int>(sizeof(INPUT))) == inputs.size();
}

// Handles what arrives for this thread for the given time: UI Automation calls its
// handlers from the message loop of the thread that registered them.
void pumpFor(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: uia_listener.exe WINDOW_TITLE KEY...\n");
        return 2;
    }
    HWND window = nullptr;
    for (int tries = 0; tries < 1200 && window == nullptr; ++tries) {
        window = FindWindowW(nullptr, argv[1]);
        Sleep(100);
    }
    if (window == nullptr) {
        std::fprintf(stderr, "no window titled %s\n", utf8(argv[1]).c_str());
        return 1;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fprintf(stderr, "COM does not start\n");
        return 1;
    }
    IUIAutomation *automation = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
            reinterpret_cast<void **>(&automation)))) {
        std::fprintf(stderr, "UI Automation is not there\n");
        return 1;
    }
    IUIAutomationElement *element = nullptr;
    if (FAILED(automation->ElementFromHandle(window, &element)) || element == nullptr) {
        std::fprintf(stderr, "UI Automation has no element for the window\n");
        return 1;
    }
    // Notifications reach a client through IUIAutomation5 where the system has it.
    static Listener listener;
    IUIAutomation5 *automation5 = nullptr;
    if (SUCCEEDED(automation->QueryInterface(IID_IUIAutomation5, reinterpret_cast<void **>(&automation5)))) {
        const HRESULT listening
            = automation5->AddNotificationEventHandler(element, TreeScope_Subtree, nullptr, &listener);
        std::fprintf(stderr, "listening for notifications: 0x%08lx\n", static_cast<unsigned long>(listening));
    }

    SetForegroundWindow(window);
    pumpFor(1500);
    for (int i = 2; i < argc; ++i) {
        if (!press(utf8(argv[i]))) {
            return 1;
        }
        pumpFor(700);
    }
    pumpFor(1000);
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}
