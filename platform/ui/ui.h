// The dialog framework in one include.
#pragma once

#include "platform/ui/app.h"
#include "platform/ui/backend.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resource.h"
#include "platform/ui/types.h"
#include "platform/ui/wait_cursor.h"
#include "platform/ui/wnd.h"
