#pragma once

namespace sonaveld {

struct Form1Controls;

// Places the time display for the texts it shows: Label8 (hours), Label11 "h", Label3 (minutes),
// Label10 "分", Label4 (seconds) and Label9 "秒" at top 56, designed at lefts 669, 678, 691, 712,
// 733 and 754 inside Bevel1 (664, 52, 113 x 29). Each label is sized to its text. Working from the
// right, a label that would reach the next label (the last: the bevel's inner right edge) moves
// left just far enough; the bevel grows to the left to keep its 5 pixels before the first label.
// So every hour count a play position can have (up to 596) shows whole, the right end staying put.
void PlaceTimeDisplay(const Form1Controls& c);

}  // namespace sonaveld
