#include "platform/core/ColorCode.h"

namespace platform {
namespace {

struct SysEntry {
    const char* name;
    unsigned rgb;  // 0xRRGGBB, the classic desktop values
};

// Indexed by system colour number.
constexpr SysEntry kSys[] = {
    {"滚动条", 0xC8C8C8},
    {"桌面", 0x3A6EA5},
    {"活动标题栏", 0x0A246A},
    {"非活动标题栏", 0x808080},
    {"菜单", 0xF0F0F0},
    {"窗口", 0xFFFFFF},
    {"窗口边框", 0x000000},
    {"菜单文字", 0x000000},
    {"窗口文字", 0x000000},
    {"标题文字", 0xFFFFFF},
    {"活动边框", 0xD4D0C8},
    {"非活动边框", 0xD4D0C8},
    {"应用程序工作区", 0x808080},
    {"高亮", 0x316AC5},
    {"高亮文字", 0xFFFFFF},
    {"按钮表面", 0xECE9D8},
    {"按钮阴影", 0xACA899},
    {"灰色文字", 0xACA899},
    {"按钮文字", 0x000000},
    {"非活动标题文字", 0xD8E4F8},
    {"按钮高亮", 0xFFFFFF},
    {"三维深阴影", 0x716F64},
    {"三维亮色", 0xF1EFE2},
    {"提示文字", 0x000000},
    {"提示背景", 0xFFFFE1},
    {"", 0xB5B5B5},
    {"超链接", 0x0066CC},
    {"渐变活动标题栏", 0x3D95FF},
    {"渐变非活动标题栏", 0x9DB9EB},
    {"菜单高亮", 0x316AC5},
    {"菜单栏", 0xECE9D8},
};
constexpr int kSysCount = sizeof(kSys) / sizeof(kSys[0]);

}  // namespace

QColor colorFromCode(ColorCode code) {
    const auto u = static_cast<std::uint32_t>(code);
    if (isSystemColorCode(code)) {
        const int n = static_cast<int>(u & 0xFF);
        if (n < kSysCount) return QColor::fromRgb(kSys[n].rgb);
        return QColor(Qt::white);
    }
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF));
}

ColorCode codeFromRgb(const QColor& c) {
    return static_cast<ColorCode>(static_cast<std::uint32_t>(c.red()) |
                                  (static_cast<std::uint32_t>(c.green()) << 8) |
                                  (static_cast<std::uint32_t>(c.blue()) << 16));
}

const char* systemColorName(int n) {
    return (n >= 0 && n < kSysCount) ? kSys[n].name : "";
}

}  // namespace platform
