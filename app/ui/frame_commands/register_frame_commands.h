#pragma once
// The main window's remaining commands: About, Tip of the Day (also at start-up), Help
// Contents, Using Help, and File > Send... where the desktop can mail.

struct UiExtensions;

// Provided by app/ui/frame_commands (vorla_ui_frame_commands).
void RegisterFrameCommands(UiExtensions& extensions);
