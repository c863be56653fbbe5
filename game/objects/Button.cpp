// Button: clicks, the click sound and the box tests (see Button.h).
#include "Button.h"

#include <cmath>  // Required for: std::fabs

#include <LEInput.h>

#include "Camera2D.h"
#include "Screens.h"

static const char* CLICK_SOUND = "Assets/Audio/SFX/sfx_click.wav";

Button::Button()
{
    clickSound = AudioLoad(CLICK_SOUND);
    clickChannel = AudioPlay(clickSound, true, SOUND_GROUP_SFX);
}

void Button::Unload()
{
    clickCount = 0;
    AudioStop(clickChannel);
}

static void PlayClick(Button* button)
{
    // The first click resumes the channel prepared at construction; later clicks
    // play afresh. Every click is an effect, at the effects' volume.
    if (button->clickChannel && button->clickChannel->paused) {
        AudioSetPaused(button->clickChannel, false);
    } else {
        button->clickChannel = AudioPlay(button->clickSound, false, SOUND_GROUP_SFX);
    }
}

bool IsClicked(Button* button, const GameObject* layer)
{
    if (!levelCamera || !ClickReaches(button, layer)) return false;
    const Vector2 m = ScreenToWorld(levelCamera, LEInputMousePosition());
    const Transform& t = button->transform;
    // Half sizes keep their sign: a button with a negative scale is never inside.
    const float hw = t.scale.x * 0.5f, hh = t.scale.y * 0.5f;
    const bool inside = t.position.x - hw <= m.x && m.x <= t.position.x + hw && t.position.y - hh <= m.y &&
                        m.y <= t.position.y + hh;
    if (!inside) return false;
    LEInputMouseConsume(MOUSE_LEFT);
    button->clickCount += 1;
    NotePressAction(button->name, button);
    PlayClick(button);
    return true;
}

bool IsMouseOver(const Camera2D* camera, const GameObject* object)
{
    return PointInBox(ScreenToWorld(camera, LEInputMousePosition()), object);
}

bool PointInBox(Vector2 point, const GameObject* object)
{
    const Transform& t = object->transform;
    return std::fabs(point.x - t.position.x) <= std::fabs(t.scale.x) * 0.5f &&
           std::fabs(point.y - t.position.y) <= std::fabs(t.scale.y) * 0.5f;
}

bool BoxesOverlap(const GameObject* a, const GameObject* b)
{
    const Transform& p = a->transform;
    const Transform& q = b->transform;
    return std::fabs(p.position.x - q.position.x) <= (std::fabs(p.scale.x) + std::fabs(q.scale.x)) * 0.5f &&
           std::fabs(p.position.y - q.position.y) <= (std::fabs(p.scale.y) + std::fabs(q.scale.y)) * 0.5f;
}
