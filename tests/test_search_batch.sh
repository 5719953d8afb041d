#!/usr/bin/env bash
# The README's lines for running the search in shards, run as they stand
# there with only the box, the shard count (4 x 4 in 8 shards) and the
# threads of a Slurm task set, as a user sets them: the bash loop, GNU
# parallel, and a Slurm array on a one-node Slurm of the test's own (munged and the two Slurm daemons on a key, a socket and
# ports of their own, stopped at the end whatever happens). One Slurm task
# is cancelled midway with scancel and run again as the README says. Each
# merged file must equal the whole run byte for byte.
#   test_search_batch.sh PROGRAM README
# Starting daemons takes root: elsewhere the test is skipped (status 77).
set -euo pipefail
program=$1 readme=$2
export LC_ALL=C.UTF-8

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the one-node Slurm of this test needs root (munged and slurmd run as root); not run as root"
  exit 77
fi
for command in munged mungekey slurmctld slurmd sbatch squeue sinfo scancel scontrol parallel; do
  command -v "$command" > /dev/null ||
    { echo "missing $command: bash scripts/setup.sh test installs slurm-wlm, munge and parallel"; exit 1; }
done

top=$(mktemp -d /tmp/hexlife-batch.XXXXXX)
# munged wants its socket's folders open to all for lookup, and writable only by root.
chmod 0755 "$top"
pids=()
cleanup() {
  local status=$?
  set +e
  if [ -n "${SLURM_CONF:-}" ] && [ -f "$SLURM_CONF" ]; then
    if [ $status -ne 0 ]; then
      echo "--- the queue and the node at the failure:"
      squeue -a 2>&1
      scontrol -o show job 2>&1 | grep -o 'JobId=[^ ]*\|ArrayTaskId=[^ ]*\|JobState=[^ ]*\|Reason=[^ ]*' | paste -sd ' '
      scontrol -o show node 2>&1
    fi
    scancel --quiet --full --user=root 2> /dev/null
    # The jobs' own processes end before the daemons that watch them.
    for _ in $(seq 1 300); do
      [ -z "$(squeue -h -o %i 2> /dev/null)" ] && break
      sleep 0.1
    done
  fi
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2> /dev/null
    wait "${pids[i]}" 2> /dev/null
  done
  if [ $status -ne 0 ]; then
    for log in "$top"/state/*.log; do
      [ -f "$log" ] && { echo "--- the end of $log:"; tail -n 20 "$log"; }
    done
  fi
  rm -rf "$top"
  exit $status
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# The README's fenced shell blocks under "Beyond one machine", one a file.
blocks=$top/blocks
mkdir "$blocks"
awk -v dir="$blocks" '
  /^### Beyond one machine/ { inside = 1; next }
  inside && /^#/ { inside = 0 }
  inside && /^```sh$/ { code = 1; ++k; file = sprintf("%s/%02d.sh", dir, k); printf "" > file; next }
  code && /^```$/ { code = 0; close(file); next }
  code { print > file }
' "$readme"
block() {  # the block that holds $1
  local file
  file=$(grep -lF -- "$1" "$blocks"/*.sh | sed -n 1p)
  [ -n "$file" ] || fail "README.md has no block with «$1» under «Beyond one machine»"
  cat "$file"
}
settings=$(block 'export columns=')
loop=$(block 'for i in')
parallel_line=$(block '| parallel')
slurm=$(block 'sbatch --array')
merge=$(block '--merge')
grep -q '^export columns=[0-9]* rows=[0-9]* shards=[0-9]*$' <<< "$settings" ||
  fail "the settings line has changed its form: $(head -n 1 <<< "$settings")"
readme_shards=$(sed -n 's/^export columns=.* shards=\([0-9]*\)$/\1/p' <<< "$settings")
grep -q '^threads=[0-9]* tasks=' <<< "$slurm" || fail "the Slurm block's first line has changed its form"
# Only the box, the shard count and the threads of a task differ from the
# README: one thread a task, so that a task's two blocks of figures are
# done one after the other and it can be seen midway.
ours=$(sed 's/^export columns=.*/export columns=4 rows=4 shards=8/' <<< "$settings")
slurm=$(sed '1s/^threads=[0-9]*/threads=1/' <<< "$slurm")

mkdir "$top/whole"
(cd "$top/whole" && "$program" --columns 4 --rows 4 --out whole.txt > summary.txt)
whole=$top/whole/whole.txt
# Run in $1: the settings, then the named blocks.
run() {
  local folder=$1
  shift
  mkdir -p "$folder"
  (cd "$folder" && printf '%s\n' "$ours" "$@" > script.sh && bash -e script.sh)
}
same() {  # $1 the merged file of $2's way
  cmp "$1" "$whole" || fail "$2: the merged file differs from the whole run"
  echo "$2: the merged file is the whole run's, byte for byte"
}

PATH=$(dirname "$program"):$PATH
export PATH
[ "$(command -v hexagonal-life-search)" = "$program" ] || fail "hexagonal-life-search is not the program under test"

run "$top/loop" "$loop" "$merge" > "$top/loop.log" 2>&1 || { cat "$top/loop.log"; fail "the loop failed"; }
same "$top/loop/4x4.txt" "bash loop"
[ "$(ls "$top"/loop/shard-*.txt | wc -l)" -eq 8 ] || fail "the loop made no 8 shards"

run "$top/parallel" "$parallel_line" "$merge" > "$top/parallel.log" 2>&1 ||
  { cat "$top/parallel.log"; fail "GNU parallel failed"; }
same "$top/parallel/4x4.txt" "GNU parallel"
[ "$(ls "$top"/parallel/shard-*.txt | wc -l)" -eq 8 ] || fail "GNU parallel made no 8 shards"

# --- A one-node Slurm of the test's own.
state=$top/state
mkdir -p "$state/spool" "$state/ctld"
free_port() {  # a port nothing listens on, from a random start
  local port=$((20000 + RANDOM % 40000))
  while (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null; do port=$((port + 1)); done
  echo $port
}
ctld_port=$(free_port)
slurmd_port=$(free_port)
[ "$slurmd_port" -ne "$ctld_port" ] || slurmd_port=$((ctld_port + 1))
mungekey --create --keyfile="$state/munge.key" > /dev/null
chmod 0400 "$state/munge.key"
munged --foreground --key-file="$state/munge.key" --socket="$state/munge.socket" \
  --pid-file="$state/munged.pid" --seed-file="$state/munged.seed" --log-file="$state/munged.log" \
  > "$state/munged.out" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -S "$state/munge.socket" ] && break; sleep 0.05; done
[ -S "$state/munge.socket" ] || fail "munged made no socket"

host=$(hostname -s)
cpus=$(nproc)
cat > "$state/slurm.conf" << CONF
ClusterName=hexlife
SlurmctldHost=$host(127.0.0.1)
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$state/munge.socket
StateSaveLocation=$state/ctld
SlurmdSpoolDir=$state/spool
SlurmctldPidFile=$state/slurmctld.pid
SlurmdPidFile=$state/slurmd.pid
SlurmctldLogFile=$state/slurmctld.log
SlurmdLogFile=$state/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MinJobAge=600
SlurmdParameters=config_overrides
NodeName=hexlife NodeAddr=127.0.0.1 NodeHostname=$host CPUs=$cpus State=UNKNOWN
PartitionName=batch Nodes=hexlife Default=YES MaxTime=INFINITE State=UP
CONF
# Jobs are tracked by process lists, not cgroups: slurmd then touches no
# cgroup, and runs where none is mounted (a chroot, a container).
echo "CgroupPlugin=cgroup/v1" > "$state/cgroup.conf"
export SLURM_CONF=$state/slurm.conf
slurmctld -D -i -f "$SLURM_CONF" > "$state/slurmctld.out" 2>&1 &
pids+=($!)
slurmd -D -N hexlife -f "$SLURM_CONF" > "$state/slurmd.out" 2>&1 &
pids+=($!)
idle=
for _ in $(seq 1 600); do
  idle=$(sinfo -h -n hexlife -o %T 2> /dev/null || true)
  [ "$idle" = idle ] && break
  sleep 0.1
done
[ "$idle" = idle ] || fail "the Slurm node is not idle: «$idle»"
echo "Slurm is up: controller on port $ctld_port, node on $slurmd_port, $cpus CPUs"

# The README's shard count fits the array sizes Slurm takes by default.
max_array=$(scontrol show config | sed -n 's/^MaxArraySize *= *//p')
[ "$readme_shards" -le "$max_array" ] ||
  fail "the README's $readme_shards shards need task numbers beyond Slurm's MaxArraySize $max_array"

job_states() {  # "TASK STATE" for each task of job $1
  scontrol -o show job "$1" | sed -n 's/.*ArrayTaskId=\([0-9]*\) .*JobState=\([A-Z_]*\) .*/\1 \2/p' | sort -n
}
wait_job() {  # until every task of job $1 has ended
  for _ in $(seq 1 3000); do
    local shown
    shown=$(scontrol -o show job "$1")
    grep -qE 'JobState=(PENDING|CONFIGURING|RUNNING|COMPLETING|SUSPENDED|REQUEUED|RESIZING) ' <<< "$shown" || return 0
    sleep 0.1
  done
  fail "job $1 did not end: $(job_states "$1" | tr '\n' ' ')"
}
done_count() {  # the figures done in a result file, 0 where there is none
  [ -f "$1" ] || { echo 0; return; }
  awk '$1 == "done" { sum += $3 - $2 } END { print sum + 0 }' "$1"
}

# Saves every tenth of a second, so that a task's file shows its progress
# before it ends; the jobs take this environment with them.
export HEXLIFE_SEARCH_SAVE_SECONDS=0.1
cancelled=5
mkdir "$top/slurm"
run "$top/slurm" "$slurm" > "$top/slurm/submit.log" 2>&1 || { cat "$top/slurm/submit.log"; fail "sbatch failed"; }
job=$(sed -n 's/^Submitted batch job \([0-9]*\)$/\1/p' "$top/slurm/submit.log")
[ -n "$job" ] || fail "sbatch said: $(cat "$top/slurm/submit.log")"
shard=$top/slurm/shard-$cancelled.txt
midway=
for _ in $(seq 1 3000); do
  done_figures=$(done_count "$shard")
  if [ "$done_figures" -gt 0 ] && [ "$done_figures" -lt 8192 ]; then midway=$done_figures; break; fi
  [ "$done_figures" -ge 8192 ] && break
  sleep 0.02
done
[ -n "$midway" ] || fail "task $cancelled was never seen midway (done: $(done_count "$shard"))"
scancel "${job}_$cancelled"
wait_job "$job"
states=$(job_states "$job")
echo "array $job:" $states
[ "$(grep -c ' COMPLETED$' <<< "$states")" -eq 7 ] || fail "not 7 tasks completed: $states"
grep -qx "$cancelled CANCELLED" <<< "$states" || fail "task $cancelled was not cancelled: $states"
after=$(done_count "$shard")
[ "$after" -ge "$midway" ] && [ "$after" -lt 8192 ] ||
  fail "task $cancelled, cancelled with $midway figures done, left $after"
echo "task $cancelled cancelled midway: $midway of 8192 figures seen done, $after saved"
# The merge of the shards as they are: a whole file, not yet complete.
(cd "$top/slurm" && hexagonal-life-search --merge shard-*.txt --out partial.txt > /dev/null 2> merge.log) ||
  fail "the shards with one cancelled do not merge: $(cat "$top/slurm/merge.log")"
grep -q 'сделано' "$top/slurm/merge.log" || fail "the merge of an unfinished search does not say how much is done"

# Run again as the README says: the same lines with tasks set to its number.
rerun=$(sed "1s/tasks=.*/tasks=$cancelled/" <<< "$slurm")
run "$top/slurm" "$rerun" > "$top/slurm/rerun.log" 2>&1 || { cat "$top/slurm/rerun.log"; fail "sbatch failed"; }
again=$(sed -n 's/^Submitted batch job \([0-9]*\)$/\1/p' "$top/slurm/rerun.log")
[ -n "$again" ] || fail "sbatch said: $(cat "$top/slurm/rerun.log")"
wait_job "$again"
[ "$(job_states "$again")" = "$cancelled COMPLETED" ] || fail "the rerun of task $cancelled: $(job_states "$again")"
grep -q 'продолжаю' "$top/slurm/slurm-${again}_$cancelled.out" ||
  fail "the rerun did not go on from its file: $(cat "$top/slurm/slurm-${again}_$cancelled.out")"
(cd "$top/whole" && "$program" --columns 4 --rows 4 --range $((cancelled * 8192)):$(((cancelled + 1) * 8192)) \
   --out shard.txt > /dev/null)
cmp "$shard" "$top/whole/shard.txt" || fail "task $cancelled, cancelled and run again, differs from its uninterrupted run"
echo "task $cancelled, cancelled and run again, is its uninterrupted run byte for byte"
run "$top/slurm" "$merge" > "$top/slurm/merge.log" 2>&1 || { cat "$top/slurm/merge.log"; fail "the merge failed"; }
cmp "$top/slurm/4x4.txt" "$whole" || fail "Slurm: the merged file differs from the whole run"
echo "Slurm array: the merged file is the whole run's, byte for byte"
