#pragma once

// The question "Uninstall" (dialog 106): true when the user answers Yes.
bool askUninstall();
