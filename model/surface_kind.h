#pragma once

#include <array>
#include <cstdint>

#include "model/surface.h"

namespace kiro {

// What a surface's type code makes of it. The codes are the design file's and never change.
enum class SurfaceKind : int32_t {
    End = SurfaceType::End,
    Stop = SurfaceType::Stop,
    Obstruction = SurfaceType::Obstruction,
    FlatFocal = SurfaceType::FlatFocal,
    SphericalFocal = SurfaceType::SphericalFocal,
    FlatMirror = SurfaceType::FlatMirror,
    SphericalMirror = SurfaceType::SphericalMirror,
    ParaboloidMirror = SurfaceType::ParaboloidMirror,
    AsphericMirror = SurfaceType::AsphericMirror,
    FlatLens = SurfaceType::FlatLens,
    SphericalLens = SurfaceType::SphericalLens,
    AsphericLens = SurfaceType::AsphericLens,
};

enum class SurfaceShape { Flat, Spherical, Paraboloid, Aspheric };

// What the surface does to a ray: nothing but stop it (a stop, an obstruction), end the
// trace (the focal surface), reflect it or refract it.
enum class SurfaceRole { Stop, Obstruction, Focal, Mirror, Lens };

struct SurfaceKindInfo {
    SurfaceKind kind;
    SurfaceShape shape;
    SurfaceRole role;
    const char* japaneseName; // as the lens data editor lists it
    const char* englishName;
};

inline constexpr std::array<SurfaceKindInfo, 11> kSurfaceKinds{{
    {SurfaceKind::Stop, SurfaceShape::Flat, SurfaceRole::Stop, "絞り", "Stop"},
    {SurfaceKind::Obstruction, SurfaceShape::Flat, SurfaceRole::Obstruction, "中央遮蔽",
     "Central obstruction"},
    {SurfaceKind::FlatFocal, SurfaceShape::Flat, SurfaceRole::Focal, "平面焦点面",
     "Flat focal plane"},
    {SurfaceKind::SphericalFocal, SurfaceShape::Spherical, SurfaceRole::Focal, "球面焦点面",
     "Spherical focal surface"},
    {SurfaceKind::FlatMirror, SurfaceShape::Flat, SurfaceRole::Mirror, "平面鏡", "Flat mirror"},
    {SurfaceKind::SphericalMirror, SurfaceShape::Spherical, SurfaceRole::Mirror, "球面鏡",
     "Spherical mirror"},
    {SurfaceKind::ParaboloidMirror, SurfaceShape::Paraboloid, SurfaceRole::Mirror, "放物面鏡",
     "Paraboloidal mirror"},
    {SurfaceKind::AsphericMirror, SurfaceShape::Aspheric, SurfaceRole::Mirror, "非球面鏡",
     "Aspheric mirror"},
    {SurfaceKind::FlatLens, SurfaceShape::Flat, SurfaceRole::Lens, "平面レンズ", "Flat lens"},
    {SurfaceKind::SphericalLens, SurfaceShape::Spherical, SurfaceRole::Lens, "球面レンズ",
     "Spherical lens"},
    {SurfaceKind::AsphericLens, SurfaceShape::Aspheric, SurfaceRole::Lens, "非球面レンズ",
     "Aspheric lens"},
}};

// The entry of a type code; null for the end mark and for codes no kind has. The codes
// come in three runs (0-3, 10-13, 20-22), which the table follows in order.
constexpr const SurfaceKindInfo* surfaceKindInfo(int32_t code) {
    int at = -1;
    if (code >= SurfaceType::Stop && code <= SurfaceType::SphericalFocal) {
        at = code;
    } else if (code >= SurfaceType::FlatMirror && code <= SurfaceType::AsphericMirror) {
        at = 4 + code - SurfaceType::FlatMirror;
    } else if (code >= SurfaceType::FlatLens && code <= SurfaceType::AsphericLens) {
        at = 8 + code - SurfaceType::FlatLens;
    }
    return at < 0 ? nullptr : &kSurfaceKinds[static_cast<size_t>(at)];
}

// The table and its lookup agree.
constexpr bool tableFollowsCodes() {
    for (const SurfaceKindInfo& info : kSurfaceKinds) {
        if (surfaceKindInfo(static_cast<int32_t>(info.kind)) != &info) {
            return false;
        }
    }
    return true;
}
static_assert(tableFollowsCodes());

// Each question below is a bit set over the codes, made from the table once, so that the
// tracer asks it with a shift rather than a search.
template <class Question> constexpr uint32_t kindsWhere(Question question) {
    uint32_t kinds = 0;
    for (const SurfaceKindInfo& info : kSurfaceKinds) {
        if (question(info)) {
            kinds |= 1u << static_cast<int32_t>(info.kind);
        }
    }
    return kinds;
}
static_assert(static_cast<int32_t>(SurfaceKind::AsphericLens) < 32);

constexpr bool isAmong(int32_t code, uint32_t kinds) {
    return code >= 0 && code < 32 && ((kinds >> code) & 1u) != 0;
}

constexpr uint32_t kindsOfShape(SurfaceShape shape) {
    return kindsWhere([shape](const SurfaceKindInfo& info) { return info.shape == shape; });
}
constexpr uint32_t kindsOfRole(SurfaceRole role) {
    return kindsWhere([role](const SurfaceKindInfo& info) { return info.role == role; });
}

inline constexpr uint32_t kAsphericKinds = kindsOfShape(SurfaceShape::Aspheric);
inline constexpr uint32_t kFlatKinds = kindsOfShape(SurfaceShape::Flat);
inline constexpr uint32_t kSphericalKinds = kindsOfShape(SurfaceShape::Spherical);
inline constexpr uint32_t kFocalKinds = kindsOfRole(SurfaceRole::Focal);
inline constexpr uint32_t kMirrorKinds = kindsOfRole(SurfaceRole::Mirror);
inline constexpr uint32_t kLensKinds = kindsOfRole(SurfaceRole::Lens);

constexpr bool isAspheric(int32_t code) {
    return isAmong(code, kAsphericKinds);
}
constexpr bool isFlat(int32_t code) {
    return isAmong(code, kFlatKinds);
}
constexpr bool isSpherical(int32_t code) {
    return isAmong(code, kSphericalKinds);
}
constexpr bool isFocal(int32_t code) {
    return isAmong(code, kFocalKinds);
}
constexpr bool isMirror(int32_t code) {
    return isAmong(code, kMirrorKinds);
}
constexpr bool isLens(int32_t code) {
    return isAmong(code, kLensKinds);
}

// A curved mirror or any lens: the first such row bounds the beam. A code no kind has
// counts by its place among the codes, as it always did.
constexpr bool isCurvedMirrorOrLens(int32_t code) {
    if (const SurfaceKindInfo* info = surfaceKindInfo(code)) {
        return info->role == SurfaceRole::Lens ||
               (info->role == SurfaceRole::Mirror && info->shape != SurfaceShape::Flat);
    }
    return code > SurfaceType::FlatMirror;
}

// An aspheric row keeps its a1 (2nd-order) coefficient where other rows keep the radius.
constexpr double asphericA1(const Surface& row) {
    return row.radius;
}
constexpr void setAsphericA1(Surface& row, double a1) {
    row.radius = a1;
}

} // namespace kiro
