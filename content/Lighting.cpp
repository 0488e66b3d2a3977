#include "content/Lighting.h"

#include "scene/SceneNode.h"

#include <GL/gl.h>

void setupLight() {
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat specular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat constant = 0.0f;
    const GLfloat quadratic = 0.0002f;
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT1, GL_CONSTANT_ATTENUATION, &constant);
    glLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, &quadratic);
}

void lightingSwitch(std::int32_t phase, MotionArgument) {
    switch (phase) {
        case BeforeModel:
        case BeforeChild:
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT1);
            break;
        case AfterModel:
        case AfterChild:
            glDisable(GL_LIGHT1);
            glDisable(GL_LIGHTING);
            break;
        default: break;
    }
}
