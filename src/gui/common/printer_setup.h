#pragma once
// The program's default printer settings, shared by every print and print preview.
class QPrinter;

QPrinter& DefaultPrinter();
// 1 portrait, 2 landscape; any other value leaves the orientation as it is.
void SetDefaultPrinterOrientation(int orientation);
