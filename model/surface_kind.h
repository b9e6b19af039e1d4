#pragma once

#include <array>
#include <bit>
#include <cstddef>
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
    bool drawn = true;              // the side view draws its profile
    bool traced = true;             // the tracers carry rays across it
    bool editsCoefficients = false; // the lens data editor shows its a2..a4
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
     "Aspheric mirror", true, true, true},
    {SurfaceKind::FlatLens, SurfaceShape::Flat, SurfaceRole::Lens, "平面レンズ", "Flat lens"},
    {SurfaceKind::SphericalLens, SurfaceShape::Spherical, SurfaceRole::Lens, "球面レンズ",
     "Spherical lens"},
    {SurfaceKind::AsphericLens, SurfaceShape::Aspheric, SurfaceRole::Lens, "非球面レンズ",
     "Aspheric lens", true, true, true},
}};

// Every kind's code is below this, so that a code indexes a small array and a bit set.
inline constexpr int32_t kKindCodeLimit = 32;

constexpr bool codesFitAndDiffer() {
    std::array<bool, kKindCodeLimit> taken{};
    for (const SurfaceKindInfo& info : kSurfaceKinds) {
        const auto code = static_cast<int32_t>(info.kind);
        if (code < 0 || code >= kKindCodeLimit || taken[static_cast<size_t>(code)]) {
            return false;
        }
        taken[static_cast<size_t>(code)] = true;
    }
    return true;
}
static_assert(codesFitAndDiffer());

// The table's place of each code, -1 where no kind has it: the tracer's lookup is one load.
inline constexpr std::array<int8_t, kKindCodeLimit> kKindPlaceOfCode = [] {
    std::array<int8_t, kKindCodeLimit> places{};
    places.fill(-1);
    for (size_t k = 0; k < kSurfaceKinds.size(); ++k) {
        places[static_cast<size_t>(kSurfaceKinds[k].kind)] = static_cast<int8_t>(k);
    }
    return places;
}();

// The entry of a type code; null for the end mark and for codes no kind has.
constexpr const SurfaceKindInfo* surfaceKindInfo(int32_t code) {
    if (static_cast<uint32_t>(code) >= static_cast<uint32_t>(kKindCodeLimit)) {
        return nullptr;
    }
    const int place = kKindPlaceOfCode[static_cast<size_t>(code)];
    return place < 0 ? nullptr : &kSurfaceKinds[static_cast<size_t>(place)];
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
// A code's bit in those sets; no bit for codes outside them.
constexpr uint32_t kindBit(int32_t code) {
    return code >= 0 && code < kKindCodeLimit ? 1u << code : 0u;
}

// For a set known when compiling, a set of one kind or of a run of codes is asked with
// one or two comparisons; the tracer asks these for every ray at every row.
constexpr bool isAmong(int32_t code, uint32_t kinds) {
    const int first = std::countr_zero(kinds);
    if (kinds != 0 && std::has_single_bit((kinds >> first) + 1)) {
        const int count = std::popcount(kinds);
        return static_cast<uint32_t>(code) - static_cast<uint32_t>(first) <
               static_cast<uint32_t>(count);
    }
    return (kindBit(code) & kinds) != 0;
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
inline constexpr uint32_t kParaboloidKinds = kindsOfShape(SurfaceShape::Paraboloid);
inline constexpr uint32_t kFocalKinds = kindsOfRole(SurfaceRole::Focal);
inline constexpr uint32_t kMirrorKinds = kindsOfRole(SurfaceRole::Mirror);
inline constexpr uint32_t kLensKinds = kindsOfRole(SurfaceRole::Lens);
inline constexpr uint32_t kStopKinds = kindsOfRole(SurfaceRole::Stop);
inline constexpr uint32_t kObstructionKinds = kindsOfRole(SurfaceRole::Obstruction);
inline constexpr uint32_t kTracedKinds =
    kindsWhere([](const SurfaceKindInfo& info) { return info.traced; });
inline constexpr uint32_t kCoefficientKinds =
    kindsWhere([](const SurfaceKindInfo& info) { return info.editsCoefficients; });

constexpr bool isAspheric(int32_t code) {
    return isAmong(code, kAsphericKinds);
}
constexpr bool isFlat(int32_t code) {
    return isAmong(code, kFlatKinds);
}
constexpr bool isSpherical(int32_t code) {
    return isAmong(code, kSphericalKinds);
}
constexpr bool isParaboloid(int32_t code) {
    return isAmong(code, kParaboloidKinds);
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
constexpr bool isStop(int32_t code) {
    return isAmong(code, kStopKinds);
}
constexpr bool isObstruction(int32_t code) {
    return isAmong(code, kObstructionKinds);
}
constexpr bool isTraced(int32_t code) {
    return isAmong(code, kTracedKinds);
}
constexpr bool editsCoefficients(int32_t code) {
    return isAmong(code, kCoefficientKinds);
}

// A mirror or a lens: a row that turns rays. A code no kind has counts by its place
// among the codes, as it always did.
constexpr bool isMirrorOrLens(int32_t code) {
    if (const SurfaceKindInfo* info = surfaceKindInfo(code)) {
        return info->role == SurfaceRole::Mirror || info->role == SurfaceRole::Lens;
    }
    return code >= SurfaceType::FirstOptical;
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
