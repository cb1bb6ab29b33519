#pragma once
// The document's window methods and the title of the window each one opens.

struct WindowMethod {
    const char* method;
    const char* title;
};

inline constexpr WindowMethod kWindowMethods[] = {
    {"About", "About Vorla Pro"},
    {"ServiceMaintenance", "Service Maintenance"},
    {"SubscriberMaintenance", "Subscriber Maintenance"},
    {"GroupMaintenance", "Group Maintenance"},
    {"MessageMaintenance", "Message Maintenance"},
    {"Preferences", "Preferences"},
};
