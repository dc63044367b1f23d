// Per-context state of the GL stand-ins, found by the current EGL context.
#include "platform/gles/ContextState.h"

#include <GLES/glext.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gles/EglScreen.h"

namespace platform::gles {

namespace {

std::vector<std::unique_ptr<ContextState>>& States() {
    static std::vector<std::unique_ptr<ContextState>> states;
    return states;
}

bool ExtensionListHas(const char* list, const char* name) {
    if (list == nullptr || name == nullptr || *name == '\0') return false;
    std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        bool startsWord = at == list || at[-1] == ' ';
        bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) return true;
    }
    return false;
}

// The thread's current context as MakeCurrent last left it; while `known` is false (no
// MakeCurrent on this thread yet, or a failed one) EGL is asked.
struct ThreadCurrent {
    bool known = false;
    EGLContext context = EGL_NO_CONTEXT;
};
thread_local ThreadCurrent threadCurrent;

ContextState* StateOf(EGLContext context) {
    if (context == EGL_NO_CONTEXT) return nullptr;
    auto& states = States();
    // The current context is nearly always the last one made.
    for (auto it = states.rbegin(); it != states.rend(); ++it)
        if ((*it)->context == context) return it->get();
    auto state = std::make_unique<ContextState>();
    state->context = context;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    state->nativePalette = ExtensionListHas(extensions, "GL_OES_matrix_palette") &&
                           eglGetProcAddress("glCurrentPaletteMatrixOES") != nullptr;
    state->dxt1Advertised = ExtensionListHas(extensions, "GL_EXT_texture_compression_dxt1") ||
                            ExtensionListHas(extensions, "GL_EXT_texture_compression_s3tc");
    state->atcAdvertised = ExtensionListHas(extensions, "GL_AMD_compressed_ATC_texture") ||
                           ExtensionListHas(extensions, "GL_ATI_texture_compression_atitc");
    if (!state->nativePalette) {
        // Palette matrices start as identities, as the extension's do.
        state->palette.assign(kEmulatedPaletteSize, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
        state->normalMatrices.resize(kEmulatedPaletteSize * 9);
        for (int i = 0; i < kEmulatedPaletteSize; ++i)
            std::copy_n(std::array<GLfloat, 9>{1, 0, 0, 0, 1, 0, 0, 0, 1}.begin(), 9, &state->normalMatrices[i * 9]);
    }
    states.push_back(std::move(state));
    return states.back().get();
}

}  // namespace

bool HasExtension(const char* name) {
    return ExtensionListHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

ContextState* CurrentState() {
    const ThreadCurrent& current = threadCurrent;
    return StateOf(current.known ? current.context : eglGetCurrentContext());
}

EGLBoolean MakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read, EGLContext context) {
    const EGLBoolean made = eglMakeCurrent(display, draw, read, context);
    threadCurrent = made ? ThreadCurrent{true, context} : ThreadCurrent{};
    return made;
}

void ForgetState(EGLContext context) {
    auto& states = States();
    states.erase(
        std::remove_if(states.begin(), states.end(),
                       [context](const std::unique_ptr<ContextState>& state) { return state->context == context; }),
        states.end());
}

}  // namespace platform::gles
