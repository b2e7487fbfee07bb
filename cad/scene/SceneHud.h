#pragma once
// The two text lines that the view shows in screen space on top of the
// drawing: the information line (left-aligned, e.g. the simulation's
// read-out) and the scale label beside the scale bar (centred). Both are
// yellow and positioned in viewer pixels from the top-left corner, the text
// hanging below its position.
//
// Texts are the model's 8-bit strings; a line feed starts a new line and a
// carriage return is dropped. Bytes above 0x7F are shown as the Latin-1
// characters of the same number.

#include <osg/Camera>
#include <osg/ref_ptr>
#include <osgText/Text>

#include <cstdint>
#include <string>

class TSceneHud {
public:
    // Character height in pixels.
    static constexpr float CharacterSize = 13.0f;

    TSceneHud();

    // The screen-space camera that carries both texts; the view puts it into
    // its scene.
    osg::Camera* Node() const { return m_Camera.get(); }

    void SetViewportSize(int32_t width, int32_t height);

    // An empty text hides the line.
    void SetInfoText(const std::string& text, int32_t x, int32_t y);
    void SetScaleText(const std::string& text, int32_t x, int32_t y);
    void ClearScaleText() { SetScaleText(std::string(), m_ScaleX, m_ScaleY); }

    const std::string& InfoText() const { return m_Info; }
    const std::string& ScaleText() const { return m_Scale; }
    int32_t InfoX() const { return m_InfoX; }
    int32_t InfoY() const { return m_InfoY; }
    int32_t ScaleX() const { return m_ScaleX; }
    int32_t ScaleY() const { return m_ScaleY; }

private:
    void Place(osgText::Text& text, const std::string& content, int32_t x, int32_t y);

    osg::ref_ptr<osg::Camera> m_Camera;
    osg::ref_ptr<osgText::Text> m_InfoText;
    osg::ref_ptr<osgText::Text> m_ScaleText;
    std::string m_Info;
    std::string m_Scale;
    int32_t m_InfoX = 20;
    int32_t m_InfoY = 0;
    int32_t m_ScaleX = 0;
    int32_t m_ScaleY = 0;
    int32_t m_Height = 1;
};
