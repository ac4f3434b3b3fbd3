#!/usr/bin/env bash
# Checks that quillmoor.exe starts wherever the AOL client runs: it may import
# only DLLs that every Windows ships, and no function that Windows XP lacks.
#
#   check_imports.sh OBJDUMP PREFERRED_EXE FALLBACK_EXE
#
# PREFERRED_EXE is the 32-bit product; when that build is not there, the
# executable of the current build is checked instead.
set -u
objdump=$1 preferred=$2 fallback=$3
exe=$preferred
[ -f "$exe" ] || exe=$fallback
if [ ! -f "$exe" ]; then echo "no executable to check: $preferred, $fallback"; exit 1; fi
echo "checking $exe"

# DLL<TAB>function, one line per import.
imports=$("$objdump" -p "$exe" | awk '
  /^\tDLL Name: / { dll = toupper($3); next }
  dll != "" && /^\tvma:/ { next }
  dll != "" && NF == 0 { dll = ""; next }
  dll != "" { print dll "\t" $NF }
') || { echo "$objdump could not read $exe"; exit 1; }
if [ -z "$imports" ]; then echo "no imports found: not a PE executable?"; exit 1; fi

shipped="KERNEL32.DLL USER32.DLL GDI32.DLL SHELL32.DLL ADVAPI32.DLL MSVCRT.DLL COMCTL32.DLL COMDLG32.DLL OLE32.DLL OLEAUT32.DLL WINMM.DLL VERSION.DLL"

# Functions of KERNEL32 and USER32 that came with Vista or later.
newer='GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared InitializeConditionVariable
SleepConditionVariableCS SleepConditionVariableSRW WakeConditionVariable WakeAllConditionVariable
InitOnceInitialize InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete FlsAlloc FlsFree FlsGetValue
FlsSetValue GetSystemTimePreciseAsFileTime InitializeCriticalSectionEx CreateEventExA CreateEventExW
CreateMutexExA CreateMutexExW CreateSemaphoreExW CreateWaitableTimerExW GetFileInformationByHandleEx
SetFileInformationByHandle GetFinalPathNameByHandleA GetFinalPathNameByHandleW CreateSymbolicLinkA
CreateSymbolicLinkW QueryFullProcessImageNameA QueryFullProcessImageNameW GetCurrentProcessorNumber
GetQueuedCompletionStatusEx CancelIoEx CancelSynchronousIo GetLocaleInfoEx LCMapStringEx CompareStringEx
GetUserDefaultLocaleName LocaleNameToLCID LCIDToLocaleName GetErrorMode RaiseFailFastException
CreateThreadpoolWork SubmitThreadpoolWork CreateThreadpoolTimer SetThreadpoolTimer WaitForThreadpoolWorkCallbacks
CloseThreadpoolWork SetProcessDPIAware ChangeWindowMessageFilter ChangeWindowMessageFilterEx
AddClipboardFormatListener RemoveClipboardFormatListener GetWindowDisplayAffinity SetWindowDisplayAffinity
PhysicalToLogicalPoint LogicalToPhysicalPoint RegisterPowerSettingNotification ShutdownBlockReasonCreate
Shell_NotifyIconGetRect'

status=0
while IFS=$'\t' read -r dll fn; do
  case " $shipped " in
    *" $dll "*) ;;
    *) echo "imports $dll ($fn), a DLL that Windows does not ship everywhere"; status=1 ;;
  esac
  for n in $newer; do
    if [ "$fn" = "$n" ]; then echo "imports $dll $fn, which Windows XP does not have"; status=1; fi
  done
done <<< "$imports"

[ $status -eq 0 ] && echo "ok: $(wc -l <<< "$imports") imports from $(cut -f1 <<< "$imports" | sort -u | tr '\n' ' ')"
exit $status
