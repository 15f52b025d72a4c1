#include "core/copy_data_observer.h"

namespace tabiro {

namespace {
CopyDataObserver installed = nullptr;
}  // namespace

void installCopyDataObserver(CopyDataObserver observer) { installed = observer; }

CopyDataObserver copyDataObserver() { return installed; }

}  // namespace tabiro
