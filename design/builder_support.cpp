#include "design/builder_support.h"

#include <cmath>

namespace kiro {

Surface makeRow(int type, double z, double radius, double effectiveRadius) {
    Surface row;
    row.type = type;
    row.z = z;
    row.radius = radius;
    row.effectiveRadius = effectiveRadius;
    return row;
}

void clearTable(SurfaceTable& table) {
    table.fill(Surface{});
}

DesignResult noTwoMirrorSolution(double D, double f, double b, double k) {
    return designFailed("口径 %g mm、焦点距離 %g mm、曲率比 %g、バックフォーカス %g mm を満たす"
                        "２枚鏡の配置が見つかりません。",
                        D, f, k, b);
}

} // namespace kiro

namespace kiro {

bool isUsableSize(double D, double f) {
    return D > 0.0 && f > 0.0 && std::isfinite(D) && std::isfinite(f);
}

DesignResult unusableSize() {
    return designFailed("口径とF値には正の数を指定してください。");
}

} // namespace kiro
