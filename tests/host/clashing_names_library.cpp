// A library of another make that names its classes as Tessaravox names its
// own, with other layouts and exported for all to bind to, as a second
// plug-in or a toolkit in the same host process may. Loaded first with
// RTLD_GLOBAL, its definitions would win over any of Tessaravox's that the
// plug-in left visible. It stays outside our namespace on purpose.
#include <cstdint>
#include <cstring>

#define CLASHING_EXPORT __attribute__((visibility("default")))

struct AEffect;
struct CRect;
typedef intptr_t (*audioMasterCallback)(AEffect*, int32_t, int32_t, intptr_t, void*, float);

class CLASHING_EXPORT CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView();
    virtual int draw(int x);
    const CRect* size;
    char label[24];
};

class CLASHING_EXPORT Config {
public:
    explicit Config(float* params, const wchar_t* const* keys = nullptr);
    double weights[3];
    float* params;
};

class CLASHING_EXPORT Plugin {
public:
    explicit Plugin(audioMasterCallback host);
    virtual ~Plugin();
    virtual int marker() const;
    audioMasterCallback host;
    int value;
};

CView::CView(const CRect& s) : size(&s) { std::strcpy(label, "clashing view"); }
CView::~CView() = default;
int CView::draw(int x) { return x + static_cast<int>(std::strlen(label)); }

Config::Config(float* p, const wchar_t* const*) : weights{0.25, 0.5, 0.25}, params(p) {}

Plugin::Plugin(audioMasterCallback h) : host(h), value(0x5a5a) {}
Plugin::~Plugin() = default;
int Plugin::marker() const { return value; }

// Uses every class above; 0x5a5a + 13 + 1 when this library's own code and
// layouts were used throughout.
extern "C" CLASHING_EXPORT int clashingLibraryCheck() {
    Plugin* plugin = new Plugin(nullptr);
    Config config(nullptr);
    CView* view = new CView(*reinterpret_cast<const CRect*>(&config));
    const int result = plugin->marker() + view->draw(0) + static_cast<int>(config.weights[0] * 4.0);
    delete view;
    delete plugin;
    return result;
}

