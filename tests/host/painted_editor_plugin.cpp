// A minimal VST 2.4 plug-in of another make, with an editor that paints its
// window in known colours: the host's editor commands must work for any
// plug-in, not only for Tessaravox. On Windows the editor is a child window
// filled red on its left half (blue after a click on the right half) and blue
// on its right half, with a green bar at the top while a note is held;
// elsewhere it has a size but cannot open.

#include <cstring>

#include "plugin/vst_abi.h"

#if defined(_WIN32)
#include <windows.h>
#define PAINTED_EXPORT extern "C" __declspec(dllexport)
#else
#define PAINTED_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace tvx {

namespace {

constexpr short kWidth = 320;
constexpr short kHeight = 200;

struct PaintedPlugin {
    AEffect effect{};
    audioMasterCallback host = nullptr;
    ERect rect{0, 0, kHeight, kWidth};
    void* view = nullptr;
    int heldNotes = 0;
    int idleCalls = 0;
    bool clickedRight = false;
};

#if defined(_WIN32)
const wchar_t kViewClass[] = L"PaintedEditorView";

LRESULT CALLBACK viewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        auto* plugin = reinterpret_cast<PaintedPlugin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT left = {0, 0, kWidth / 2, kHeight}, right = {kWidth / 2, 0, kWidth, kHeight}, bar = {0, 0, kWidth, 10};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255)),
               green = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(dc, &left, plugin && plugin->clickedRight ? blue : red);
        FillRect(dc, &right, blue);
        if (plugin && plugin->heldNotes > 0) FillRect(dc, &bar, green);
        DeleteObject(red);
        DeleteObject(blue);
        DeleteObject(green);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        // A click in the right half turns the left half blue as well: the
        // host's click reaches the view.
        auto* plugin = reinterpret_cast<PaintedPlugin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (plugin && LOWORD(lParam) >= kWidth / 2) plugin->clickedRight = true;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool openView(PaintedPlugin& p, void* parent) {
    if (!parent || !IsWindow(static_cast<HWND>(parent))) return false;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = viewProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kViewClass;
    RegisterClassW(&wc);
    HWND view = CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                static_cast<HWND>(parent), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!view) return false;
    SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
    p.view = view;
    return true;
}

void closeView(PaintedPlugin& p) {
    if (p.view) DestroyWindow(static_cast<HWND>(p.view));
    p.view = nullptr;
}

void repaint(PaintedPlugin& p) {
    if (p.view) InvalidateRect(static_cast<HWND>(p.view), nullptr, FALSE);
}
#else
bool openView(PaintedPlugin&, void*) { return false; }
void closeView(PaintedPlugin&) {}
void repaint(PaintedPlugin&) {}
#endif

PaintedPlugin* pluginOf(AEffect* e) { return static_cast<PaintedPlugin*>(e->object); }

void countNotes(PaintedPlugin& p, const VstEvents* events) {
    for (VstInt32 i = 0; events && i < events->numEvents; ++i) {
        const VstEvent* event = events->events[i];
        if (!event || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const int status = midi->midiData[0] & 0xF0;
        if (status == 0x90 && midi->midiData[2] != 0) ++p.heldNotes;
        else if ((status == 0x80 || status == 0x90) && p.heldNotes > 0) --p.heldNotes;
    }
}

VstIntPtr VSTCALLBACK dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    PaintedPlugin& p = *pluginOf(e);
    switch (opcode) {
        case effClose: closeView(p); delete &p; return 1;
        case effGetEffectName: std::strcpy(static_cast<char*>(ptr), "Painted"); return 1;
        case effEditGetRect: *static_cast<ERect**>(ptr) = &p.rect; return 1;
        case effEditOpen: return openView(p, ptr) ? 1 : 0;
        case effEditClose: closeView(p); return 0;
        case effEditIdle: ++p.idleCalls; repaint(p); return 0;
        case effProcessEvents: countNotes(p, static_cast<const VstEvents*>(ptr)); return 1;
        default: return 0;
    }
}

void VSTCALLBACK processReplacing(AEffect*, float**, float** outputs, VstInt32 frames) {
    for (VstInt32 i = 0; outputs && i < frames; ++i) outputs[0][i] = outputs[1][i] = 0.0f;
}
void VSTCALLBACK setParameter(AEffect*, VstInt32, float) {}
float VSTCALLBACK getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

PAINTED_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    auto* p = new PaintedPlugin;
    p->host = host;
    AEffect& e = p->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatch;
    e.processReplacing = processReplacing;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.numOutputs = 2;
    e.flags = effFlagsHasEditor | effFlagsCanReplacing | effFlagsIsSynth;
    e.uniqueID = vstFourCC('P', 'n', 't', 'd');
    e.version = 1;
    e.object = p;
    return &e;
}

}  // namespace tvx
