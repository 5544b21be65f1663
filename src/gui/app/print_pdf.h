#pragma once
// KVR --print-pdf OUT.pdf FILE [--from T --to T] [--continuous]: what the print command
// prints, into a PDF, without a window or a printer.
#include <QString>

struct PrintPdfOptions {
    QString pdfPath;
    QString filePath;
    QString from;  // "YYYY-MM-DD HH:MM:SS"; empty: the file start (continuous) or the
    QString to;    // whole file (one page)
    bool continuous = false;
};

// 0 when written; 1 with a message on stderr otherwise.
int RunPrintPdf(const PrintPdfOptions& options);
