// Layout helpers of the render device's vertex formats.
#include "engine/render/RenderTypes.h"

int TextureSetFloats(DWORD layout, int set) {
    if (set < 0 || set > 3) return 0;
    for (int floats = 1; floats <= 4; ++floats) {
        DWORD flag = kVertexTexture1Float << (4 * (floats - 1));
        if ((layout & (flag << set)) != 0) return floats;
    }
    return 0;
}
