#pragma once
// The small row images of the outgoing and log lists, painted here so the program needs no
// image files.

#include <QIcon>

enum class RowImage {
    Page,     // an outgoing page
    Timed,    // a page waiting for its time
    Failed,   // a page that failed or will not be sent
    LogOk,    // a log record of a page that went out
    LogError  // a log record of a failure or cancel
};

// Cached: each image is painted once, at 16 and 32 pixels.
const QIcon& RowIcon(RowImage image);
