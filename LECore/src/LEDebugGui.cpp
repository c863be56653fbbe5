// LEDebugGui: Dear ImGui context, per-frame input and the GL renderer for its
// draw data (see LEDebugGui.h). Only this file and the graphics device touch ImGui.
#include "LEDebugGui.h"

#include <GL/glew.h>
#include <imgui.h>

#include "../LEInput.h"
#include "../LESystem.h"
#include "LEGraphicsOGL.h"
#include "LEPlatform.h"

static const char* GUI_VS = R"(#version 330 core
uniform mat4 ProjMtx;
in vec2 Position;
in vec2 UV;
in vec4 Color;
out vec2 fragUV;
out vec4 fragColor;
void main()
{
    fragUV = UV;
    fragColor = Color;
    gl_Position = ProjMtx * vec4(Position, 0, 1);
}
)";

static const char* GUI_FS = R"(#version 330 core
uniform sampler2D Texture;
in vec2 fragUV;
in vec4 fragColor;
out vec4 outColor;
void main()
{
    outColor = fragColor * texture(Texture, fragUV);
}
)";

static struct {
    ImGuiContext* context = nullptr;
    GLuint program = 0, vertexArray = 0, vertexBuffer = 0, indexBuffer = 0, fontTexture = 0;
    GLint projection = -1, texture = -1;
} gui;

static GLuint Compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

static void CreateDeviceObjects()
{
    const GLuint vs = Compile(GL_VERTEX_SHADER, GUI_VS), fs = Compile(GL_FRAGMENT_SHADER, GUI_FS);
    gui.program = glCreateProgram();
    glAttachShader(gui.program, vs);
    glAttachShader(gui.program, fs);
    glLinkProgram(gui.program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    gui.projection = glGetUniformLocation(gui.program, "ProjMtx");
    gui.texture = glGetUniformLocation(gui.program, "Texture");

    glGenVertexArrays(1, &gui.vertexArray);
    glGenBuffers(1, &gui.vertexBuffer);
    glGenBuffers(1, &gui.indexBuffer);
    glBindVertexArray(gui.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, gui.vertexBuffer);
    const GLint position = glGetAttribLocation(gui.program, "Position");
    const GLint uv = glGetAttribLocation(gui.program, "UV");
    const GLint color = glGetAttribLocation(gui.program, "Color");
    glEnableVertexAttribArray(GLuint(position));
    glEnableVertexAttribArray(GLuint(uv));
    glEnableVertexAttribArray(GLuint(color));
    glVertexAttribPointer(GLuint(position), 2, GL_FLOAT, GL_FALSE, sizeof(ImDrawVert),
                          reinterpret_cast<void*>(IM_OFFSETOF(ImDrawVert, pos)));
    glVertexAttribPointer(GLuint(uv), 2, GL_FLOAT, GL_FALSE, sizeof(ImDrawVert),
                          reinterpret_cast<void*>(IM_OFFSETOF(ImDrawVert, uv)));
    glVertexAttribPointer(GLuint(color), 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ImDrawVert),
                          reinterpret_cast<void*>(IM_OFFSETOF(ImDrawVert, col)));
    glBindVertexArray(0);

    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    ImGui::GetIO().Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    glGenTextures(1, &gui.fontTexture);
    glBindTexture(GL_TEXTURE_2D, gui.fontTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
    ImGui::GetIO().Fonts->SetTexID(reinterpret_cast<ImTextureID>(intptr_t(gui.fontTexture)));
    LEGraphicsCheckErrors(50);
}

void LEDebugGuiStart()
{
    IMGUI_CHECKVERSION();
    gui.context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    // Dear ImGui reads the engine's own virtual-key slots.
    const struct { ImGuiKey key; int vk; } keyMap[] = {
        {ImGuiKey_Tab, 9}, {ImGuiKey_LeftArrow, 37}, {ImGuiKey_RightArrow, 39}, {ImGuiKey_UpArrow, 38},
        {ImGuiKey_DownArrow, 40}, {ImGuiKey_PageUp, 33}, {ImGuiKey_PageDown, 34}, {ImGuiKey_Home, 36},
        {ImGuiKey_End, 35}, {ImGuiKey_Delete, 46}, {ImGuiKey_Backspace, 8}, {ImGuiKey_Enter, 13},
        {ImGuiKey_Escape, 27}, {ImGuiKey_A, 65}, {ImGuiKey_C, 67}, {ImGuiKey_V, 86}, {ImGuiKey_X, 88},
        {ImGuiKey_Y, 89}, {ImGuiKey_Z, 90},
    };
    for (const auto& entry : keyMap) io.KeyMap[entry.key] = entry.vk;
    io.BackendRendererName = "LEDebugGui";
    CreateDeviceObjects();
}

void LEDebugGuiShutdown()
{
    if (!gui.context) return;
    glDeleteTextures(1, &gui.fontTexture);
    glDeleteBuffers(1, &gui.vertexBuffer);
    glDeleteBuffers(1, &gui.indexBuffer);
    glDeleteVertexArrays(1, &gui.vertexArray);
    glDeleteProgram(gui.program);
    ImGui::DestroyContext(gui.context);
    gui = {};
}

unsigned LEDebugGuiTypedChar(int vk, bool shift, bool capsLock)
{
    if (vk >= KEY_A && vk <= KEY_Z) return unsigned((shift != capsLock ? 'A' : 'a') + (vk - KEY_A));
    if (vk >= KEY_0 && vk <= KEY_9) return unsigned('0' + (vk - KEY_0));
    if (vk >= 96 && vk <= 105) return unsigned('0' + (vk - 96));  // numeric keypad
    switch (vk) {
    case KEY_SPACE: return ' ';
    case 106: return '*';
    case 107: return '+';
    case 109: return '-';
    case 110: return '.';
    case 111: return '/';
    case 186: return ';';
    case 187: return '=';
    case 188: return ',';
    case 189: return '-';
    case 190: return '.';
    case 191: return '/';
    case 192: return '`';
    case 219: return '[';
    case 220: return '\\';
    case 221: return ']';
    case 222: return '\'';
    default: return 0;
    }
}

void LEDebugGuiFrameStart()
{
    if (!gui.context) return;
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(LEWindowWidth()), float(LEWindowHeight()));
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    io.DeltaTime = LEFrameTime() > 0.0 ? float(LEFrameTime()) : 1.0f / 60.0f;
    if (LEInputMouseInWindow()) {
        const Vector2 p = LEInputMousePosition();
        io.MousePos = ImVec2(p.x + float(LEWindowWidth()) / 2.0f, float(LEWindowHeight()) / 2.0f - p.y);
    } else {
        io.MousePos = ImVec2(-1.0f, -1.0f);
    }
    io.MouseDown[0] = LEMouseButtons[MOUSE_LEFT] > 0;
    io.MouseDown[1] = LEMouseButtons[MOUSE_RIGHT] > 0;
    io.MouseWheel = LEInputMouseWheel();
    for (int k = 0; k < KEY_COUNT; ++k) io.KeysDown[k] = LEKeys[k] > 0;
    io.KeyCtrl = LEKeys[KEY_CONTROL] > 0;
    io.KeyShift = LEKeys[KEY_SHIFT] > 0;
    const bool capsLock = LEPlatformCapsLock();
    for (int k = 0; k < KEY_COUNT; ++k) {
        if (LEKeys[k] != 2) continue;
        if (const unsigned c = LEDebugGuiTypedChar(k, io.KeyShift, capsLock)) io.AddInputCharacter(c);
    }
    ImGui::NewFrame();
}

static void SetupRenderState(const ImDrawData* data)
{
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glViewport(0, 0, GLsizei(data->DisplaySize.x), GLsizei(data->DisplaySize.y));
    const float l = data->DisplayPos.x, r = l + data->DisplaySize.x;
    const float t = data->DisplayPos.y, b = t + data->DisplaySize.y;
    const float ortho[16] = {2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0,
                             0, 0, -1, 0, (r + l) / (l - r), (t + b) / (b - t), 0, 1};
    glUseProgram(gui.program);
    glUniform1i(gui.texture, 0);
    glUniformMatrix4fv(gui.projection, 1, GL_FALSE, ortho);
    glBindVertexArray(gui.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, gui.vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gui.indexBuffer);
}

static void DrawCommandLists(const ImDrawData* data)
{
    const float height = data->DisplaySize.y;
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(list->VtxBuffer.Size * int(sizeof(ImDrawVert))),
                     list->VtxBuffer.Data, GL_STREAM_DRAW);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(list->IdxBuffer.Size * int(sizeof(ImDrawIdx))),
                     list->IdxBuffer.Data, GL_STREAM_DRAW);
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback) {
                cmd.UserCallback(list, &cmd);
                continue;
            }
            const ImVec4 clip(cmd.ClipRect.x - data->DisplayPos.x, cmd.ClipRect.y - data->DisplayPos.y,
                              cmd.ClipRect.z - data->DisplayPos.x, cmd.ClipRect.w - data->DisplayPos.y);
            if (clip.z <= clip.x || clip.w <= clip.y) continue;
            glScissor(GLint(clip.x), GLint(height - clip.w), GLsizei(clip.z - clip.x), GLsizei(clip.w - clip.y));
            glBindTexture(GL_TEXTURE_2D, GLuint(intptr_t(cmd.GetTexID())));
            glDrawElements(GL_TRIANGLES, GLsizei(cmd.ElemCount),
                           sizeof(ImDrawIdx) == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                           reinterpret_cast<void*>(intptr_t(cmd.IdxOffset * sizeof(ImDrawIdx))));
        }
    }
}

void LEDebugGuiRender()
{
    if (!gui.context) return;
    ImGui::Render();
    const ImDrawData* data = ImGui::GetDrawData();
    if (!data || data->CmdListsCount == 0 || data->DisplaySize.x <= 0 || data->DisplaySize.y <= 0) return;

    // Save what the engine relies on, draw, and put it all back.
    GLint program = 0, texture = 0, arrayBuffer = 0, vertexArray = 0, viewport[4], scissor[4];
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    const GLboolean blend = glIsEnabled(GL_BLEND), cull = glIsEnabled(GL_CULL_FACE);
    const GLboolean depth = glIsEnabled(GL_DEPTH_TEST), scissorOn = glIsEnabled(GL_SCISSOR_TEST);

    SetupRenderState(data);
    DrawCommandLists(data);
    LEGraphicsProgramChanged();

    glUseProgram(GLuint(program));
    glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    glBindVertexArray(GLuint(vertexArray));
    glBindBuffer(GL_ARRAY_BUFFER, GLuint(arrayBuffer));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    depth ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    scissorOn ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
}
