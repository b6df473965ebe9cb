#include "ktdocview/ctlktdocview.h"
