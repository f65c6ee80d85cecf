#pragma once

// The install record, whole: where it lives, its format, the recorder a run feeds and the
// uninstall that trusts only it.
#include "install/ManifestFormat.h"
#include "install/ManifestLocation.h"
#include "install/ManifestRecorder.h"
#include "install/TemplatesFolderLock.h"
#include "install/Uninstall.h"
