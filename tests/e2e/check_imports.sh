#!/usr/bin/env bash
# Checks that quillmoor.exe starts wherever the AOL client runs: a GUI
# program that may import only DLLs that every Windows ships, no function
# that Windows XP lacks, and (the 32-bit product) exactly the functions of the
# committed list LIST, so that a new import is looked at before it ships.
#
#   check_imports.sh OBJDUMP LIST PREFERRED_EXE [FALLBACK_EXE]
#
# PREFERRED_EXE is the 32-bit product and must be an i386 program; when that
# build is not there, FALLBACK_EXE, the executable of the current build, is
# checked instead, by the rules that do not depend on the processor.
set -u
objdump=$1 list=$2 preferred=$3 fallback=${4:-}
exe=$preferred
[ -f "$exe" ] || exe=$fallback
if [ ! -f "$exe" ]; then echo "no executable to check: $preferred $fallback"; exit 1; fi
echo "checking $exe"
product=0
[ "$exe" = "$preferred" ] && product=1

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
headers=$("$objdump" -p "$exe")
if ! grep -qP '^Subsystem\s+00000002\s' <<< "$headers"; then
  echo "not a GUI program: $(grep -P '^Subsystem' <<< "$headers")"; status=1
fi
if [ $product = 1 ]; then
  if ! grep -qP '^architecture: i386,' < <("$objdump" -f "$exe"); then
    echo "not a 32-bit (i386) program: $("$objdump" -f "$exe" | grep '^architecture')"; status=1
  fi
  # The committed list: DLL!function, "#" starts a note.
  listed=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$list" | sort -u)
  used=$(tr '\t' '!' <<< "$imports" | sort -u)
  for fn in $(comm -23 <(echo "$used") <(echo "$listed")); do
    echo "imports $fn, which $list does not list: check that Windows XP has it, then add it"; status=1
  done
  for fn in $(comm -13 <(echo "$used") <(echo "$listed")); do
    echo "$list lists $fn, which is no longer imported: take it off the list"; status=1
  done
  for fn in $listed; do
    for n in $newer; do
      if [ "${fn#*!}" = "$n" ]; then echo "$list lists $fn, which Windows XP does not have"; status=1; fi
    done
  done
else
  echo "(not the 32-bit product: its processor and the list are not checked)"
fi
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
