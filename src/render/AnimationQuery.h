#pragma once

#include "render/BatchedLevel.h"

#include <GL/glew.h>

#include <array>
#include <vector>

// Whether something drawn this frame that changes with time was seen: not only in a visible leaf
// and the frustum, but with a pixel not hidden by what stands before it. Two things are asked
// of GL in occlusion queries, and the answers read when they are first asked for (after the frame
// is shown): whether the moving sky's dome passed the depth test where it was drawn, whether
// the frame's animated faces, drawn once more after the level's other faces with colour and
// depth writes off, did, and whether the turning pickups did. Where GL has no occlusion query,
// whatever was drawn counts as seen.
class AnimationQuery {
public:
    enum class Part { sky, faces, pickups };

    AnimationQuery();
    ~AnimationQuery();
    AnimationQuery(const AnimationQuery&) = delete;
    AnimationQuery& operator=(const AnimationQuery&) = delete;

    // Counts the pixels `draw` (drawing `part`) lets through the depth test.
    template <typename Draw>
    void count(Part part, Draw draw)
    {
        begin(part);
        draw();
        end(part);
    }
    // After the frame's groups are drawn, gathered in `batches` (`animated`: by texture record):
    // counts the animated groups' pixels that would pass the depth test now. Leaves GL as it
    // found it.
    void measure(const BatchedLevel& batches, const std::vector<bool>& animated);
    // The frame drew nothing of `part`.
    void clear(Part part);
    // Whether the last frame showed a pixel of anything that changes with time.
    bool seen() const;

private:
    struct Answer {
        GLuint query = 0; // 0: no occlusion queries here
        bool asked = false;
        bool pending = false;
        bool seen = false;
    };
    void begin(Part part);
    void end(Part part);

    mutable std::array<Answer, 3> answers;
};
