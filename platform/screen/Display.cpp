// The display's state: geometry, orientation and the RGBA surface, shared by the presenters
// (any thread), the desktop window and the screenshots.
#include "platform/screen/Display.h"

#include <algorithm>
#include <mutex>

#include "platform/user/Window.h"

namespace platform::screen {

namespace {

struct DisplayState {
    std::mutex mutex;
    DisplayGeometry geometry;
    int orientation = 0;
    int width = 480;
    int height = 800;
    std::vector<std::uint8_t> surface;
    bool blank = false;  // the surface is all black since its last resize
    std::uint64_t generation = 1;
    std::function<void()> captureSource;
};

bool IsTurnedSideways(int degrees) { return degrees == 90 || degrees == 270; }

void ResizeLocked(DisplayState& state);

DisplayState& State() {
    // Never destroyed: presenters may still run while the program exits.
    static DisplayState* state = [] {
        auto* made = new DisplayState;
        ResizeLocked(*made);
        return made;
    }();
    return *state;
}

// Under the lock: the surface takes the size of the geometry in the orientation, black and
// opaque.
void ResizeLocked(DisplayState& state) {
    const DisplayGeometry& geometry = state.geometry;
    bool sideways = IsTurnedSideways(state.orientation);
    state.width = sideways ? geometry.nativeHeight : geometry.nativeWidth;
    state.height = sideways ? geometry.nativeWidth : geometry.nativeHeight;
    std::size_t pixels = static_cast<std::size_t>(state.width) * static_cast<std::size_t>(state.height);
    // A blank surface of the same size is already what is wanted (the first geometry a
    // program configures replaces the default one before anything is drawn).
    if (!state.blank || state.surface.size() != pixels * 4) {
        state.surface.assign(pixels * 4, 0);
        for (std::size_t i = 0; i < pixels; ++i) state.surface[i * 4 + 3] = 255;
        state.blank = true;
    }
    ++state.generation;
    platform::SetDisplaySize(state.width, state.height);
}

}  // namespace

bool Configure(const DisplayGeometry& geometry) {
    auto inRange = [](int value, int low, int high) { return value >= low && value <= high; };
    if (!inRange(geometry.nativeWidth, kMinDisplaySide, kMaxDisplaySide) ||
        !inRange(geometry.nativeHeight, kMinDisplaySide, kMaxDisplaySide) || !inRange(geometry.dpi, kMinDpi, kMaxDpi))
        return false;
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.geometry = geometry;
    state.orientation = 0;
    ResizeLocked(state);
    return true;
}

DisplayGeometry Geometry() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.geometry;
}

int Dpi() { return Geometry().dpi; }

int Orientation() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.orientation;
}

bool SetOrientation(int degrees) {
    if (degrees != 0 && degrees != 90 && degrees != 180 && degrees != 270) return false;
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.orientation = degrees;
    ResizeLocked(state);
    return true;
}

SIZE Size() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return SIZE{state.width, state.height};
}

bool Present(const FrameView& frame, int x, int y) {
    if (frame.pixels == nullptr || frame.width < 1 || frame.height < 1 ||
        frame.stride < static_cast<std::size_t>(frame.width) * 4)
        return false;
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    // The part of the frame that lands on the display, in 64 bits so that no offset wraps.
    long long left = std::max<long long>(0, x);
    long long top = std::max<long long>(0, y);
    long long right = std::min<long long>(state.width, static_cast<long long>(x) + frame.width);
    long long bottom = std::min<long long>(state.height, static_cast<long long>(y) + frame.height);
    if (left >= right || top >= bottom) return true;  // wholly off the display
    bool swapRedBlue = frame.order == PixelOrder::Bgra;
    state.blank = false;
    for (long long row = top; row < bottom; ++row) {
        long long frameRow = row - y;
        if (frame.bottomUp) frameRow = frame.height - 1 - frameRow;
        const std::uint8_t* source =
            frame.pixels + static_cast<std::size_t>(frameRow) * frame.stride + static_cast<std::size_t>(left - x) * 4;
        std::uint8_t* target =
            state.surface.data() + (static_cast<std::size_t>(row) * static_cast<std::size_t>(state.width) +
                                    static_cast<std::size_t>(left)) * 4;
        for (long long column = left; column < right; ++column, source += 4, target += 4) {
            target[0] = swapRedBlue ? source[2] : source[0];
            target[1] = source[1];
            target[2] = swapRedBlue ? source[0] : source[2];
            target[3] = 255;
        }
    }
    ++state.generation;
    return true;
}

void SetCaptureSource(std::function<void()> source) {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.captureSource = std::move(source);
}

bool HasCaptureSource() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return static_cast<bool>(state.captureSource);
}

Image Capture() {
    DisplayState& state = State();
    std::function<void()> source;
    {
        std::lock_guard<std::mutex> guard(state.mutex);
        source = state.captureSource;
    }
    // Outside the lock: the source presents.
    if (source) source();
    std::lock_guard<std::mutex> guard(state.mutex);
    Image image;
    image.width = state.width;
    image.height = state.height;
    image.rgba = state.surface;
    return image;
}

std::uint64_t SurfaceGeneration() {
    DisplayState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.generation;
}

}  // namespace platform::screen
