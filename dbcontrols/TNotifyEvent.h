#pragma once

#include <functional>

class QObject;

// An event that only tells who raised it.
using TNotifyEvent = std::function<void(QObject* Sender)>;
