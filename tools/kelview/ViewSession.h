// A kelview run: a handset root of its own whose data folder shows the given data, the
// engine started on it (heaps, core module, resource cache, material list), and the render
// device on a window of the picture's size, headless.
#pragma once

#include <filesystem>
#include <string>

#include "engine/resources/mesh/Geometry.h"
#include "platform/base/Types.h"
#include "platform/screen/Display.h"
#include "tools/kelview/ViewOptions.h"

class KDB;
class KNode;

namespace kelview {

// Where the camera stands and looks for a view of a box, when the options do not say.
struct Framing {
    Triple eye;
    Triple target;
    float nearPlane;
    float farPlane;
};
Framing FrameBounds(const AxisBox& bounds, const ViewOptions& options);

class ViewSession {
public:
    ViewSession() = default;
    // Takes down what Start and StartDevice made, and the handset root.
    ~ViewSession();
    ViewSession(const ViewSession&) = delete;
    ViewSession& operator=(const ViewSession&) = delete;

    // The engine on a fresh handset root whose data folder shows the data folder's entries
    // and the archives. False with a sentence in `error`.
    bool Start(const ViewOptions& options, std::string* error);
    // The render device on a window of the picture's size.
    bool StartDevice(const ViewOptions& options, std::string* error);

    // The object, as the game's object database loads it (owned by the session).
    KNode* Load(const std::string& object, std::string* error);
    // Reads the object's text mesh or text skeleton and writes its cache beside it.
    bool Bake(const std::string& object, std::string* error);
    // Poses the object's skinned parts at the options' animation frame, lights every mesh,
    // draws the object and gives the frame.
    bool Render(KNode& object, const ViewOptions& options, platform::screen::Image* frame, std::string* error);

private:
    std::string root_;
    // The caller's data folder, which --bake writes its caches into.
    std::filesystem::path dataSource_;
    bool engineStarted_ = false;
    KDB* database_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace kelview
