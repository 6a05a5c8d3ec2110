#include "tools/tool_codes.h"

namespace tools {

using namespace ToolCode;

const std::array<ToolInfo, 24> kToolTable = {{
    {XYZTOBLH, 10, "空间直角坐标转大地坐标", "空间直角坐标转大地坐标", 7, 4, kStoreXyzToBlh, "空间坐标转大地坐标", false, true},
    {BLHTOXYZ, 11, "大地坐标转空间直角坐标", "大地坐标转空间直角坐标", 7, 4, kStoreBlhToXyz, "大地坐标转空间坐标", false, true},
    {GSZHSH, 20, "高斯投影正算", "高斯投影正算", 5, 3, kStoreGszhsh, "高斯正算", true, true},
    {GSFSH, 21, "高斯投影反算", "高斯投影反算", 5, 3, kStoreGsfsh, "高斯反算", true, true},
    {ZBHD1, 30, "换带与投影面变换1", "换带与投影面变换计算", 5, 3, kStoreZbhd1, "换带计算", true, true},
    {ZBHD2, 31, "换带与投影面变换2", "换带与投影面变换计算", 7, 4, kStoreZbhd2, "换带计算2", true, true},
    {ZBZHH4CSH, 35, "四参数平面坐标转换", "四参数平面坐标转换计算表", 5, 3, kStoreZbzhh4csh, "坐标转换计算", true, true},
    {ZBZHH7CSH, 36, "七参数坐标转换", "七参数坐标转换计算表", 7, 4, kStoreZbzhh7csh, "七参数坐标转换计算", false, true},
    {FXBCHGH, 40, "方向与边长改化", "方向边长改化计算", 10, 7, kStoreFxbchgh, "方向边长改化", false, false},
    {PMZBZHSH, 50, "平面坐标正算", "坐标正算", 11, 8, kStorePmzbzhsh, "平面坐标正算", true, true},
    {PMZBFSH, 60, "平面坐标反算", "坐标反算", 11, 8, kStorePmzbfsh, "平面坐标反算", true, true},
    {JZB, 70, "极坐标放样计算", "极坐标放样计算", 10, 7, kStoreJzb, "极坐标放样计算", true, true},
    {ZBXZH, 73, "坐标旋转", "坐标旋转计算表", 8, 6, kStoreZbxzh, "坐标旋转计算", true, true},
    {JJZHJ, 80, "夹角与转角计算", "夹角与转角计算", 9, 6, kStoreJjzhj, "夹角与转角计算", true, true},
    {SJGCH, 90, "三角高程测量", "三角高程计算", 8, 6, kStoreSjgch, "三角高程计算", false, false},
    {MJJSH, 100, "面积计算", "面积计算", 3, 3, kStoreMjjsh, "面积计算", true, true},
    {ZHDX, 110, "方位角支导线计算", "支导线计算", 5, 5, kStoreZhdx, "支导线", true, true},
    {QFJH, 200, "1、前方交会", "前方交会计算", 8, 6, kStoreQfjh, "前方交会", true, true},
    {CFJH, 210, "2、侧方交会", "侧方交会计算", 9, 7, kStoreCfjh, "侧方交会", true, true},
    {FWJH, 220, "3、方位交会", "方位交会计算", 8, 6, kStoreFwjh, "方位交会", true, true},
    {BCHJH, 230, "4、边长交会", "边长交会计算", 8, 6, kStoreBchjh, "边长交会", true, true},
    {HFJH, 240, "5、后方交会", "后方交会计算", 10, 8, kStoreHfjh, "后方交会", true, true},
    {BJHFJH, 250, "6、边角后方交会", "边角后方交会计算", 9, 7, kStoreBjhfjh, "边角后方交会", true, true},
    {SBCLDATA, 300, "碎部测量记录", "碎部测量记录", 10, 5, kStoreSbcldata, "碎部测量", true, true},
}};

const ToolInfo* FindTool(std::string_view code) {
  if (code.empty()) return nullptr;
  for (const ToolInfo& t : kToolTable)
    if (code == t.code) return &t;
  return nullptr;
}

const ToolInfo* ToolOfStore(int store) {
  for (const ToolInfo& t : kToolTable)
    if (t.store == store) return &t;
  return nullptr;
}

}  // namespace tools
