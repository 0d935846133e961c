#pragma once

#include "platform/FileText.h"

// Reads the whole of an open descriptor (opened O_NONBLOCK, so a FIFO never blocks), with the
// file's last-write time (UTC). False when it is not a regular file, is too large or fails to read.
bool ReadOpenFile(int fd, const RetryPolicy& policy, QByteArray& text, QDateTime* lastWrite);
