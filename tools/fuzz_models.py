#!/usr/bin/env python3
"""Mutation fuzzing of pixelwright-render --model over the installed test models.

Each run copies one seed model, mutated (bytes flipped, chunks dropped, repeated or spliced from
another seed, numbers made extreme, the file cut short), into a folder of its own beside links to
the seed's companions (.mtl, .bin, textures), draws it at 48 x 48 and judges the outcome: an exit
status of 0, 1 or 2 with at most one line on standard error is an answer; a signal, a run over
the time bound or a longer report is a finding, kept in OUT with what happened.

    python3 tools/fuzz_models.py --render build/pixelwright-render --minutes 30 --out fuzz-out
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

FORMATS = ('.obj', '.ply', '.stl', '.off', '.gltf', '.glb', '.dae', '.3ds', '.fbx')
SEED_ROOT = '/usr/share/assimp/models'
MAX_SEED_BYTES = 2 << 20  # larger seeds make slow runs and few of them
NUMBER = re.compile(rb'-?\d+(\.\d+)?')
EXTREMES = [b'0', b'-1', b'4294967295', b'2147483648', b'99999999999', b'1e38', b'-1e38', b'nan', b'inf', b'1e-45']


def seeds(root):
    found = []
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            if name.lower().endswith(FORMATS) and os.path.getsize(path) <= MAX_SEED_BYTES:
                found.append(path)
    return sorted(found)


def mutate(data, other, rng):
    data = bytearray(data)
    for _ in range(rng.randint(1, 4)):
        kind = rng.randrange(6)
        at = rng.randrange(len(data)) if data else 0
        if kind == 0 and data:  # flip bytes
            for _ in range(rng.randint(1, 8)):
                data[rng.randrange(len(data))] = rng.randrange(256)
        elif kind == 1:  # drop a chunk
            del data[at:at + rng.randint(1, 256)]
        elif kind == 2:  # repeat a chunk
            chunk = data[at:at + rng.randint(1, 512)]
            data[at:at] = chunk * rng.randint(1, 64)
        elif kind == 3 and other:  # splice from another seed
            start = rng.randrange(len(other))
            data[at:at] = other[start:start + rng.randint(1, 1024)]
        elif kind == 4:  # an extreme number in place of one
            numbers = list(NUMBER.finditer(data))
            if numbers:
                m = rng.choice(numbers)
                data[m.start():m.end()] = rng.choice(EXTREMES)
        else:  # cut short
            del data[rng.randrange(len(data) + 1):]
    return bytes(data)


def prepare(seed, mutated, folder):
    """The mutated seed under its own name, beside links to everything else in its folder."""
    source = os.path.dirname(seed)
    for name in os.listdir(source):
        if name != os.path.basename(seed):
            os.symlink(os.path.join(source, name), os.path.join(folder, name))
    target = os.path.join(folder, os.path.basename(seed))
    with open(target, 'wb') as f:
        f.write(mutated)
    return target


def run_once(render, model, folder, bound):
    """The outcome, the seconds taken and the largest resident size in MiB of the run and the
    processes it waited for, and what it printed on standard error."""
    with tempfile.TemporaryFile() as errors:
        began = time.monotonic()
        child = subprocess.Popen([render, '--model', model, '--size', '48x48', '--output', os.path.join(folder, 'o.png')],
                                 cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=errors)
        while True:
            pid, status, usage = os.wait4(child.pid, os.WNOHANG)
            seconds = time.monotonic() - began
            if pid:
                break
            if seconds > bound:
                child.kill()
                os.wait4(child.pid, 0)
                return 'hang', seconds, 0, b''
            time.sleep(0.01)
        child.returncode = os.waitstatus_to_exitcode(status)
        errors.seek(0)
        stderr = errors.read()
    mib = usage.ru_maxrss / 1024
    lines = [l for l in stderr.splitlines() if l.strip()]
    if child.returncode < 0:
        return 'signal %d' % -child.returncode, seconds, mib, stderr
    if child.returncode not in (0, 1, 2):
        return 'exit %d' % child.returncode, seconds, mib, stderr
    if child.returncode != 0 and len(lines) != 1:
        return 'report of %d lines' % len(lines), seconds, mib, stderr
    if mib > 4096:
        return 'over 4 GiB', seconds, mib, stderr
    return 'answered', seconds, mib, stderr


CONTAINED = ('importer crashed', 'importer took too long', 'importer needed too much memory')


def answer_kind(stderr):
    """What kind of answer one line on standard error gives."""
    text = stderr.decode(errors='replace')
    if not text.strip():
        return 'drawn'
    for words, kind in (('crashed the importer', CONTAINED[0]), ('more than 20 s', CONTAINED[1]),
                        ('needed more than', CONTAINED[2]), ('not supported', 'refused format'),
                        ('more memory than', 'no memory')):
        if words in text:
            return kind
    return 'refused file'


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--render', required=True)
    parser.add_argument('--minutes', type=float, default=30)
    parser.add_argument('--out', required=True)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--bound', type=float, default=30, help='seconds a run may take')
    args = parser.parse_args()
    args.render = os.path.abspath(args.render)  # the runs start in folders of their own
    rng = random.Random(args.seed)
    pool = seeds(SEED_ROOT)
    if not pool:
        sys.exit('no seed models under %s (Debian package assimp-testmodels)' % SEED_ROOT)
    os.makedirs(args.out, exist_ok=True)
    end = time.monotonic() + args.minutes * 60
    runs, findings, answers, slowest, largest = 0, {}, {}, 0.0, 0.0
    while time.monotonic() < end:
        seed = rng.choice(pool)
        with open(seed, 'rb') as f:
            data = f.read()
        with open(rng.choice(pool), 'rb') as f:
            other = f.read()
        folder = tempfile.mkdtemp(prefix='fuzz-')
        try:
            model = prepare(seed, mutate(data, other, rng), folder)
            outcome, seconds, mib, stderr = run_once(args.render, model, folder, args.bound)
            slowest, largest = max(slowest, seconds), max(largest, mib)
            runs += 1
            if outcome == 'answered':
                kind = answer_kind(stderr)
                answers[kind] = answers.get(kind, 0) + 1
                # The importer's own faults, which isolation turned into answers: a few of each kept.
                if kind in CONTAINED and answers[kind] <= 5:
                    keep = os.path.join(args.out, 'contained-%s-%d%s' % (kind.replace(' ', '-'), answers[kind],
                                                                          os.path.splitext(seed)[1]))
                    shutil.copyfile(model, keep)
                    with open(keep + '.txt', 'wb') as f:
                        f.write(b'seed ' + seed.encode() + b'\n' + stderr)
            else:
                findings[outcome] = findings.get(outcome, 0) + 1
                keep = os.path.join(args.out, '%06d-%s%s' % (runs, outcome.replace(' ', '-'), os.path.splitext(seed)[1]))
                shutil.copyfile(model, keep)
                with open(keep + '.txt', 'wb') as f:
                    f.write(b'seed ' + seed.encode() + b'\n' + stderr)
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    print('%d runs over %d seeds; slowest %.1f s; largest %.0f MiB; findings: %s'
          % (runs, len(pool), slowest, largest, findings or 'none'))
    print('answers: %s' % ', '.join('%s %d' % (k, v) for k, v in sorted(answers.items())))
    return 1 if findings else 0


if __name__ == '__main__':
    sys.exit(main())
