#pragma once

#include "render/BatchedLevel.h"

#include <GL/glew.h>

#include <vector>

// Whether a face whose material changes with time was seen in the frame just drawn: not only in
// a visible leaf and the frustum, but with a pixel not hidden by what stands before it. The
// animated groups of the frame are drawn once more, after the level's other faces, with colour
// and depth writes off inside an occlusion query; the answer is read when it is first asked for
// (after the frame is shown). Where GL has no occlusion query, every animated face in view counts
// as seen.
class AnimationQuery {
public:
    AnimationQuery();
    ~AnimationQuery();
    AnimationQuery(const AnimationQuery&) = delete;
    AnimationQuery& operator=(const AnimationQuery&) = delete;

    // After the frame's groups are drawn, gathered in `batches` (`animated`: by texture record):
    // asks whether any animated group's pixels pass the depth test. Leaves GL as it found it.
    void measure(const BatchedLevel& batches, const std::vector<bool>& animated);
    // The frame drew no animated face at all.
    void clear() { asked = false; answer = false; }
    // Whether the last measured frame showed a pixel of an animated face.
    bool seen() const;

private:
    GLuint query = 0; // 0: no occlusion queries here
    bool asked = false;
    mutable bool pending = false;
    mutable bool answer = false;
};
