#pragma once
// The toolbar's image list: nine 16 x 16 icons drawn for this program.
#include <QIcon>
#include <QList>

// 0 exit, 1 cut, 2 copy, 3 paste, 4 contracts, 5 renamed files, 6 help,
// 7 return file, 8 remittance file.
QList<QIcon> ImageList1();
