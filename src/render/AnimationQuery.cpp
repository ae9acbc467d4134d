#include "render/AnimationQuery.h"

#include "render/SavedGLState.h"

AnimationQuery::AnimationQuery()
{
    if (GLEW_VERSION_1_5)
        for (Answer& answer : answers)
            glGenQueries(1, &answer.query);
}

AnimationQuery::~AnimationQuery()
{
    for (const Answer& answer : answers)
        if (answer.query != 0)
            glDeleteQueries(1, &answer.query);
}

void AnimationQuery::begin(Part part)
{
    Answer& answer = answers[std::size_t(part)];
    answer.asked = true;
    answer.seen = true;
    if (answer.query != 0)
        glBeginQuery(GL_SAMPLES_PASSED, answer.query);
}

void AnimationQuery::end(Part part)
{
    Answer& answer = answers[std::size_t(part)];
    if (answer.query == 0)
        return;
    glEndQuery(GL_SAMPLES_PASSED);
    answer.pending = true;
}

void AnimationQuery::clear(Part part)
{
    answers[std::size_t(part)] = {answers[std::size_t(part)].query, false, false, false};
}

void AnimationQuery::measure(const BatchedLevel& batches, const std::vector<bool>& animated)
{
    const SavedGLState saved(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT, GL_CLIENT_VERTEX_ARRAY_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_ALPHA_TEST); // a pixel an alpha test drops counts as seen: the safe side
    glDisable(GL_BLEND);
    count(Part::faces, [&] {
        for (std::size_t g = 0; g < batches.groupCount(); ++g) {
            if (batches.indexCount(g) == 0 || !animated[std::size_t(batches.group(g).texture)])
                continue;
            batches.pointArraysAt(batches.group(g).source);
            glDrawElements(GL_TRIANGLES, GLsizei(batches.indexCount(g)), GL_UNSIGNED_INT, batches.indices(g));
        }
    });
}

bool AnimationQuery::seen() const
{
    bool any = false;
    for (Answer& answer : answers) {
        if (answer.pending) {
            GLuint samples = 0;
            glGetQueryObjectuiv(answer.query, GL_QUERY_RESULT, &samples);
            answer.seen = samples > 0;
            answer.pending = false;
        }
        any = any || (answer.asked && answer.seen);
    }
    return any;
}
