#include "gui/upload/upload_relay.h"

#include <QFile>

void UploadRelay::Finished(const kvr::UploadOutcome& outcome) {
    emit finished(static_cast<int>(outcome.status), QString::fromStdString(outcome.message),
                  QFile::decodeName(QByteArray::fromStdString(outcome.path)));
}
