#pragma once
// The program's own 16 x 16 pictures (tool bars, menus, title and category
// lists), drawn in code. Positions follow the main window's image list.

#include <QIcon>
#include <QPixmap>

namespace icons {

enum Index {
    Add = 0,
    Modify = 1,
    Delete = 2,
    Search = 3,
    FindText = 4,
    Print = 5,
    Import = 6,
    Export = 7,
    Exit = 8,
    ZoomIn = 9,
    ZoomOut = 10,
    Maintain = 11,
    Options = 12,
    About = 13,
    Help = 14,
    CustomOrder = 15,
    PrintSetup = 16,
    AppendDb = 17,
    Update = 18,
    HomePage = 19,
    Mail = 20,
    Copy = 21,
    SortAscending = 22,
    SortDescending = 23,
    Workbook = 24,
    LineSpacing = 25,
    Move = 26,
    TitleSelected = 27,
    Title = 28,
    CategorySelected = 29,
    Category = 30,
    Program = 31,
    Count = 32
};

// The 16 x 16 picture at an image-list position (a null pixmap outside 0..Count-1).
const QPixmap& pixmap(int index);
QIcon icon(int index);
// The program's window and tray icon (several sizes).
QIcon programIcon();

}  // namespace icons
