#pragma once
// Menu command ids of the Edit and Object menus, as the window procedure receives them.
namespace vantrel {

// Edit
inline constexpr int kCommandRename = 9;
inline constexpr int kCommandColorWhite = 11;
inline constexpr int kCommandColorRandom = 12;
inline constexpr int kCommandColorGradient = 13;
inline constexpr int kCommandTessellateByFace = 15;
inline constexpr int kCommandTessellateByEdge = 16;

// Object: solids
inline constexpr int kCommandBox = 33;
inline constexpr int kCommandGrid = 34;
inline constexpr int kCommandSphere = 35;
inline constexpr int kCommandHemisphere = 36;
inline constexpr int kCommandCone = 37;
inline constexpr int kCommandCylinder = 38;
inline constexpr int kCommandPie = 39;
inline constexpr int kCommandTetrahedron = 40;
inline constexpr int kCommandOctahedron = 41;
inline constexpr int kCommandGeoSphere = 42;
inline constexpr int kCommandTorus = 43;

// Object: scatters of small objects
inline constexpr int kCommandPixel = 45;
inline constexpr int kCommandLine = 46;
inline constexpr int kCommandText = 47;
inline constexpr int kCommandCurve = 48;

// Object: charts and the ripple surface
inline constexpr int kCommandBarGraph = 50;
inline constexpr int kCommandGridGraph = 51;
inline constexpr int kCommandPieGraph = 52;
inline constexpr int kCommandRipple = 54;

}  // namespace vantrel
