// The names by which handlers reach the main window's controls, and the
// program's name. The window description in window.cpp uses the same names.
#pragma once

namespace mv {

inline constexpr const char* kProgramName = "Morvane";

namespace ctl {
inline constexpr const char* kBatch = "批处理框";
inline constexpr const char* kStart = "按钮_开始搜索";
inline constexpr const char* kSearchPath = "搜索路径框";
inline constexpr const char* kSavePath = "保存路径框";
inline constexpr const char* kNames = "编辑框1";
inline constexpr const char* kViewFound = "按钮_查看搜索保存结果";
inline constexpr const char* kRemove = "按钮_删除原始路径文件";
inline constexpr const char* kNotFound = "按钮_未搜索到文件";
inline constexpr const char* kChooseSearch = "按钮_选择搜索路径";
inline constexpr const char* kChooseSave = "按钮_选择保存路径";
}  // namespace ctl

}  // namespace mv
