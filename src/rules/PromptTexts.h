#pragma once
// The dialogue's own texts. Every blank and full-width character counts.
#include <string>

namespace texts {

// Confirmation messages: the first line names the value and shows it as
// typed, with its unit (ConfirmationHeading), the line below is one of these.
inline std::string ConfirmationHeading(const std::string& name, const std::string& typed, const std::string& unit = "")
{
    return name + " = " + typed + (unit.empty() ? std::string() : " " + unit);
}
inline const std::string METRES = "米";
// A figure that does not fit its field; the field's tip holds it whole.
inline const std::string BEYOND_FIELD = "超限";
inline const std::string PACKED_DEGREES = "度.分秒";  // an angle typed as D.MMSS
// An even side S(n) typed with the sign of its side of the route: negative right.
inline std::string EvenSideHeading(int n, const std::string& typed, bool right)
{
    return ConfirmationHeading("S" + std::to_string(n), typed, METRES) + (right ? "（右侧）" : "（左侧）");
}
inline const std::string COORDINATE_NAMES[8] = {"Xa", "Ya", "Xb", "Yb", "Xc", "Yc", "Xd", "Yd"};
// A point name, by the point's place in the chain: "B", "3", "C".
inline std::string NameHeading(const std::string& point, const std::string& typed)
{
    return ConfirmationHeading("点名 " + point, typed);
}
inline const std::string K1 = "确认输入是否正确 ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";
inline const std::string K1C = "C确认输入是否正确 ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";
inline const std::string K2 = "确认输入是否正确  ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";
inline std::string K3(int n) { return "确认S" + std::to_string(n) + " 输入是否正确  ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )"; }
inline const std::string K4 = "确认这次输入是否正确  ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";
inline const std::string K5 = "确认边长输入是否正确  ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";
inline const std::string K6 = " 确认输入是否正确  ?  输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";
inline const std::string K7 = "确认输入是否正确  ？ 输入正确单击 Enter 键 ;  错误输入零( 即为:0 )";

// Triangle count
// Cancel on a value box asks before the input ends; 继续输入 asks the value again.
inline const std::string END_INPUT_QUESTION = "结束本次输入?";
inline const std::string CONTINUE_INPUT = "继续输入";
inline const std::string END_INPUT = "结束";
inline const std::string COUNT_PROMPT = "请输入三角形个数 N: ";
inline std::string CountText(int n) { return " 三角锁共有" + std::to_string(n) + "个三角形"; }

// Known points
inline const std::string XA_PROMPT = "输入起始点 A 纵座标 :";
inline const std::string YA_PROMPT = "输入起始点 A 横座标 :";
inline const std::string XB_PROMPT = "输入闭合点 B 纵座标 :";
inline const std::string YB_PROMPT = "输入闭合点 B 横座标 :";
inline const std::string XC_PROMPT = "输入闭合点 C 纵座标 :";
inline const std::string YC_PROMPT = "输入闭合点 C 横座标 :";
inline const std::string XD_PROMPT = "请输入闭合点 D 纵座标 :";
inline const std::string YD_PROMPT = "输入闭合点 D 横座标 :";
inline const std::string X_REENTRY = "输入正确的纵座标 :";
inline const std::string Y_REENTRY = "输入正确的横座标 :";

// Closing orientation
inline const std::string AZIMUTH_PROMPT =
    "输入闭合点 C 点的外方位角 :( 方位角的方向由 B 点向外 , 没有外方位角输入零 ) ";
inline const std::string AZIMUTH_REENTRY = "输入正确的外方位角 : ";
inline const std::string ORIENTATION_PROMPT =
    "输入闭合点 C 点的定向角 :( 由最后一条边顺时针旋转至外方向输入正值 ，逆时针旋转输入负值 )";
inline const std::string ORIENTATION_REENTRY = "输入正确的定向角 :";
inline const std::string THREE_CONDITIONS = "平差有方位角条件和纵、横座标条件 ";
inline const std::string TWO_CONDITIONS = "平差只有纵、横座标条件，没有方位角条件 ";
inline const std::string NO_AZIMUTH = "没有外方位角";
inline const std::string NO_ORIENTATION = "没有定向角";

// Side lengths
inline const std::string S2_HINT = "现在输入S2边";
inline const std::string S2_PROMPT = "输入S2 : ( 如果 S2 位于方位角推算路线的右側输入负值 )";
inline const std::string S2_REENTRY = "输入正确的数值 :";
inline std::string SideHint(int n) { return "现在输入S" + std::to_string(n) + "边长"; }
inline std::string ClosingSideHint(int n) { return "现在输入S" + std::to_string(n) + " 边长"; }
inline std::string OddSidePrompt(int n) { return "输入S" + std::to_string(n) + "边 :"; }
inline std::string EvenSidePrompt(int n)
{
    return "输入S" + std::to_string(n) + "边 :( 如果该边位于方位角推算路线右側输入负值 )";
}
inline std::string SideReentry(int n) { return "输入S" + std::to_string(n) + "正确的数值 :"; }

// Point names
inline const std::string B_HINT = "现在输入 B 点点名";
inline const std::string B_PROMPT = "输入三角锁起始点 B 点的点名 :";
inline std::string UnknownHint(int i) { return "现在输入" + std::to_string(i) + "个顶点的点名"; }
inline std::string UnknownPrompt(int i)
{
    return "按方位角推算路线依次输入三角锁第" + std::to_string(i) +
           " 个待定点的点名  :( 不包括起始点 A ,由待定点开始至闭合点 )";
}
inline const std::string C_HINT = "现在输入C点点名";
inline const std::string C_PROMPT = "输入三角锁闭合点 C 点的点名 :";
inline const std::string AFTER_C_PROMPT = "输入三角形闭合点 C 后续待定点的点名或点号 :";
inline const std::string NAME_REENTRY = "输入正确的点名 :";

// Coordinate display
inline const std::string DISPLAY_PROMPT =
    "如果需要显示计算的座标结果，请输入 M 为不等于零的任意数,或按输入键";
inline const std::string DISPLAY_HINT = "现在显示点";

// Condition texts of the misclosures
inline const std::string NO_ANGLE_CONDITION = "没有角条件";

// Messages of the checks this program adds to the dialogue
inline const std::string NOT_A_NUMBER = "输入的不是数字，请重新输入一个数值（例如 1234.567）";
inline const std::string CONFIRM_UNREADABLE = "确认时请直接按 Enter 键表示输入正确，或输入零( 0 )表示输入错误";
inline const std::string COUNT_OUT_OF_RANGE = "三角形个数必须是 1 到 16382 之间的整数，请重新输入";
inline const std::string D_NEEDS_BOTH = "D 点的纵、横座标必须都不为零；没有 D 点时请都输入零( 0 )，请重新输入 D 点座标";
inline const std::string D_NEEDS_TWO_TRIANGLES = "只有一个三角形时不能闭合到 C、D 两点，请重新输入 D 点座标（没有 D 点时都输入零）";
inline const std::string A_EQUALS_B = "B 点与 A 点座标相同，已知边 A-B 长度为零，请重新输入 B 点座标";
inline const std::string C_EQUALS_D = "D 点与 C 点座标相同，已知边 C-D 长度为零，请重新输入 D 点座标";
inline const std::string ORIENTATION_WITHOUT_AZIMUTH =
    "没有外方位角( 输入零 )时定向角也必须输入零，请重新输入外方位角和定向角";
inline const std::string PACKED_OUT_OF_RANGE =
    "角度按 度.分秒 输入（例如 123.4530 为 123°45′30″），分和秒必须小于 60，请重新输入";
inline const std::string SIGNS_CANNOT_CLOSE =
    "边长的正负号（推算路线左右侧）与已知点 C、D 不相容：这样的三角锁不能闭合到 C、D，平差中止，请检查后重新计算";

}  // namespace texts
