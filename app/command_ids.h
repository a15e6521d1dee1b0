#pragma once
// Command ids of the View menu and of the disabled File and Help popups. The Edit and Object
// ids live beside their commands in objects/command_ids.h.
#include <cstdint>

namespace vantrel {

inline constexpr std::int32_t kCommandNew = 2;
inline constexpr std::int32_t kCommandLoad = 4;
inline constexpr std::int32_t kCommandSave = 5;
inline constexpr std::int32_t kCommandExit = 7;

inline constexpr std::int32_t kCommandLight = 18;
inline constexpr std::int32_t kCommandOrthographic = 19;
inline constexpr std::int32_t kCommandWireframe = 21;  // the six drawing modes: 21 + renderMode
inline constexpr std::int32_t kCommandSolid = 22;
inline constexpr std::int32_t kCommandShaded = 23;
inline constexpr std::int32_t kCommandTransparent = 24;
inline constexpr std::int32_t kCommandOutlined = 25;
inline constexpr std::int32_t kCommandGradient = 26;
inline constexpr std::int32_t kCommandDoubleSided = 28;
inline constexpr std::int32_t kCommandMetallic = 29;
inline constexpr std::int32_t kCommandAtmosphere = 30;
inline constexpr std::int32_t kCommandColorCorrect = 31;

inline constexpr std::int32_t kCommandAbout = 56;
inline constexpr std::int32_t kCommandHomepage = 57;

inline constexpr std::int32_t kRenderModeCount = 6;

}  // namespace vantrel
