// What the message tests share: the layout's two fatal messages and a text made by repeating.
#pragma once

#include <string>

inline constexpr char kRunTooLong[] = "半角文字が連続５６字以上あり、表示しきれません。";
inline constexpr char kParagraphTooLong[] = "連続文字数が多すぎます。どこかで行替えしてください";

// s written n times.
inline std::string rep(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}
