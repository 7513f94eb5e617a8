#!/usr/bin/env python3
"""A known signal, fed into the virtual device path and heard on a sink.

  pcm_signal.py feed FIFO SECONDS OUT_DIR [--chunks N,N,...] [--wait-for-stream]
      writes the signal into FIFO at real-time pace, in writes of the given
      byte sizes in turn (default 1764, 10 ms); with --wait-for-stream it
      begins once PulseAudio has a playback stream (the program's wave-out)
  pcm_signal.py record SOURCE OUT_DIR NAME   records a PulseAudio source until SIGTERM
  pcm_signal.py analyse OUT_DIR              compares what was fed with what was heard
  pcm_signal.py check OUT_DIR SINK           exit 0 when SINK heard all of the signal in
      order, and no other sink heard any of it; prints a line per check
  pcm_signal.py quiet OUT_DIR                exit 0 when every recording is silent
  pcm_signal.py compare SECONDS DIR FIGURES DIR FIGURES NAME
      the Wine relay benchmark's table: the program's run against module-loopback's

The signal is 16-bit stereo at 44100 Hz: a logarithmic tone sweep on the left
channel and a counting ramp on the right. The ramp counts 1..65535 and starts
over, never 0, so a frame whose right sample is 0 is not part of it, and its
steps show lost and reordered frames. A second of silence follows, because
Wine's PulseAudio driver may hold back the last milliseconds of a stream.
"""
import errno
import json
import math
import os
import signal
import struct
import subprocess
import sys
import time

RATE = 44100
FRAME = 4
RAMP_PERIOD = 65535
SWEEP_FROM, SWEEP_TO = 100.0, 8000.0
CHUNK_FRAMES = 441  # 10 ms: fine enough for the latency figure
OPEN_TIMEOUT_S = 60
STREAM_TIMEOUT_S = 10


def ramp_value(frame):
    return frame % RAMP_PERIOD + 1


def sweep_sample(frame, total):
    duration = total / RATE
    growth = math.log(SWEEP_TO / SWEEP_FROM)
    t = frame / RATE
    phase = 2 * math.pi * SWEEP_FROM * duration / growth * (math.exp(t * growth / duration) - 1)
    return int(round(12000 * math.sin(phase)))


def make_signal(total):
    out = bytearray(total * FRAME)
    for frame in range(total):
        struct.pack_into('<hH', out, frame * FRAME, sweep_sample(frame, total), ramp_value(frame))
    return bytes(out)


def open_for_writing(path):
    """Waits for the program to open the device: a FIFO has no room before a reader."""
    end = time.monotonic() + OPEN_TIMEOUT_S
    while True:
        try:
            fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
            os.set_blocking(fd, True)
            return fd
        except OSError as error:
            if error.errno != errno.ENXIO or time.monotonic() > end:
                raise
        time.sleep(0.02)


def wait_for_stream(log):
    """The program plays what it reads only once its wave-out is open, so a
    feed that wants every frame heard begins when that stream exists."""
    begin = time.monotonic()
    while time.monotonic() - begin < STREAM_TIMEOUT_S:
        listed = subprocess.run(['pactl', 'list', 'short', 'sink-inputs'], capture_output=True, text=True).stdout
        if listed.strip():
            log['stream_wait_s'] = round(time.monotonic() - begin, 3)
            return
        time.sleep(0.02)
    log['stream_wait_s'] = None


def feed(fifo, seconds, out_dir, chunks=(CHUNK_FRAMES * FRAME,), stream_first=False):
    total = int(seconds * RATE)
    pcm = make_signal(total)
    with open(os.path.join(out_dir, 'fed.raw'), 'wb') as copy:
        copy.write(pcm)
    stream = pcm + bytes(RATE * FRAME)
    log = {'signal_frames': total, 'chunks': list(chunks), 'writes': [], 'written': 0, 'error': None}
    try:
        fd = open_for_writing(fifo)
    except OSError as error:
        log['error'] = f'the device was never opened ({error.strerror})'
        return finish_feed(out_dir, log)
    if stream_first:
        wait_for_stream(log)
    log['opened'] = time.monotonic()
    if os.environ.get('ULVEX_FEED_STARTED'):
        with open(os.environ['ULVEX_FEED_STARTED'], 'w') as stamp:
            stamp.write(f"{log['opened']}\n")
    offset = 0
    index = 0
    try:
        while offset < len(stream):
            due = log['opened'] + offset / (RATE * FRAME)
            delay = due - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            view = memoryview(stream[offset:offset + chunks[index % len(chunks)]])
            size = len(view)
            while view:
                view = view[os.write(fd, view):]
            log['writes'].append([offset, time.monotonic()])
            offset += size
            log['written'] += size
            index += 1
    except BrokenPipeError:
        log['error'] = 'the program closed the device while being fed'
    finally:
        os.close(fd)
    return finish_feed(out_dir, log)


def finish_feed(out_dir, log):
    with open(os.path.join(out_dir, 'feed.json'), 'w') as out:
        json.dump(log, out)
    return 0 if log['error'] is None else 1


def record(source, out_dir, name):
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    parec = subprocess.Popen(['parec', '-d', source, '--format=s16le', f'--rate={RATE}', '--channels=2', '--raw',
                              '--latency-msec=10'], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    start = None
    size = 0
    with open(os.path.join(out_dir, name + '.raw'), 'wb') as out:
        while not stop:
            try:
                data = os.read(parec.stdout.fileno(), 65536)
            except InterruptedError:
                continue
            if not data:
                break
            if start is None:
                # The monitor delivers in real time: its first bytes began that long ago.
                start = time.monotonic() - len(data) / (RATE * FRAME)
            out.write(data)
            size += len(data)
    parec.terminate()
    parec.wait()
    with open(os.path.join(out_dir, name + '.json'), 'w') as out:
        json.dump({'start': start, 'bytes': size}, out)
    return 0


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


class Hearing:
    """Follows the ramp through a recording."""

    def __init__(self, data, fed):
        self.frames = len(data) // FRAME
        self.position_of = {}  # fed frame -> recorded frame
        self.ramp_frames = 0
        self.lost = 0
        self.backwards = 0
        self.left_mismatches = 0
        self.gaps = []  # silent runs inside the ramp, in frames
        self.gap_spans = []  # (recorded frame where the run began, frames)
        previous = None
        silent = 0
        for position in range(self.frames):
            left, right = struct.unpack_from('<hH', data, position * FRAME)
            if right == 0:
                if previous is not None and left == 0:
                    silent += 1
                continue
            expected = 0 if previous is None else previous + 1
            step = (right - ramp_value(expected)) % RAMP_PERIOD
            if previous is not None and step > RAMP_PERIOD // 2:
                self.backwards += 1
                silent = 0
                continue
            frame = expected + step
            if previous is None:
                self.first = frame
            else:
                self.lost += step
            if silent and previous is not None:
                self.gaps.append(silent)
                self.gap_spans.append((position - silent, silent))
            silent = 0
            if frame * FRAME + FRAME <= len(fed) and struct.unpack_from('<h', fed, frame * FRAME)[0] != left:
                self.left_mismatches += 1
            self.position_of[frame] = position
            self.ramp_frames += 1
            previous = frame
        self.last = previous


def aligned_writes(feed_log):
    """(first frame, time written) of each write that began on a whole frame."""
    return [(offset // FRAME, written) for offset, written in feed_log['writes'] if offset % FRAME == 0]


def build_report(out_dir, plotted='speakers'):
    with open(os.path.join(out_dir, 'feed.json')) as f:
        feed_log = json.load(f)
    with open(os.path.join(out_dir, 'fed.raw'), 'rb') as f:
        fed = f.read()
    total = feed_log['signal_frames']
    report = {'fed_bytes': feed_log['written'], 'signal_bytes': total * FRAME, 'feed_error': feed_log['error'],
              'sinks': {}}
    for name in ('speakers', 'headphones', 'tallowmere'):
        path = os.path.join(out_dir, 'heard-' + name + '.raw')
        if not os.path.exists(path):
            continue
        with open(path, 'rb') as f:
            data = f.read()
        with open(os.path.join(out_dir, 'heard-' + name + '.json')) as f:
            stamp = json.load(f)
        hearing = Hearing(data, fed)
        sink = {'recorded_bytes': len(data), 'ramp_bytes': hearing.ramp_frames * FRAME,
                'nonsilent_bytes': FRAME * sum(1 for i in range(0, len(data) - 3, FRAME) if data[i:i + 4] != b'\0\0\0\0')}
        if hearing.ramp_frames:
            missing_head = hearing.first
            missing_tail = total - 1 - hearing.last
            sink.update({
                'order_held': hearing.backwards == 0,
                'backwards_steps': hearing.backwards,
                'lost_inside': hearing.lost,
                'missing_head': missing_head,
                'missing_tail': missing_tail,
                'left_mismatches': hearing.left_mismatches,
                'gaps': len(hearing.gaps),
                'gap_ms': sum(hearing.gaps) * 1000 / RATE,
                'longest_gap_ms': max(hearing.gaps, default=0) * 1000 / RATE,
            })
            if stamp['start'] is not None and 'opened' in feed_log:
                sink['gaps_at_s'] = [round(stamp['start'] + position / RATE - feed_log['opened'], 2)
                                     for position, _ in hearing.gap_spans]
            if stamp['start'] is not None and feed_log['writes']:
                latencies = []
                for first, written in aligned_writes(feed_log):
                    if first in hearing.position_of:
                        heard = stamp['start'] + hearing.position_of[first] / RATE
                        latencies.append((heard - written) * 1000)
                if latencies:
                    sink['latency_ms'] = {'min': min(latencies), 'median': percentile(latencies, 0.5),
                                          'p95': percentile(latencies, 0.95), 'max': max(latencies)}
            if name == plotted:
                plot_latency(out_dir, feed_log, hearing, stamp)
        report['sinks'][name] = sink
    with open(os.path.join(out_dir, 'report.json'), 'w') as f:
        json.dump(report, f, indent=1)
    return report, total


def analyse(out_dir):
    report, total = build_report(out_dir)
    print_report(report, total)
    return 0


def check(out_dir, target):
    """Every frame of the signal reached `target`, in order and unchanged, and
    nothing of it reached another sink. Silent gaps are reported, not failed:
    this machine's stalls insert them."""
    report, total = build_report(out_dir, plotted=target)
    print_report(report, total)
    failures = 0

    def expect(passed, what):
        nonlocal failures
        print(('ok ' if passed else 'FAIL ') + what)
        failures += 0 if passed else 1

    expect(report['feed_error'] is None, f"the feed went through ({report['feed_error'] or 'no error'})")
    heard = report['sinks'].get(target, {})
    expect(heard.get('ramp_bytes', 0) > 0, f'{target} heard the signal')
    if heard.get('ramp_bytes'):
        expect(heard['order_held'], f"in order ({heard['backwards_steps']} steps backwards)")
        expect(heard['missing_head'] == 0 and heard['missing_tail'] == 0 and heard['lost_inside'] == 0,
               f"complete: {heard['missing_head']} frames missing at the start, {heard['lost_inside']} inside, "
               f"{heard['missing_tail']} at the end, of {total}")
        expect(heard['left_mismatches'] == 0, f"unchanged ({heard['left_mismatches']} frames differ)")
    for name, sink in report['sinks'].items():
        if name != target:
            expect(sink['ramp_bytes'] == 0, f"{name} heard none of it ({sink['ramp_bytes']} bytes)")
    return failures


def print_report(report, total):
    print(f"fed:   {report['fed_bytes']} bytes ({report['signal_bytes']} of signal, {total} frames = "
          f"{total / RATE:.1f} s, then 1 s of silence)")
    if report['feed_error']:
        print(f"feeder: {report['feed_error']}")
    for name, sink in report['sinks'].items():
        print(f"heard on {name}: recorded {sink['recorded_bytes']} bytes, {sink['nonsilent_bytes']} not silent, "
              f"{sink['ramp_bytes']} of the signal")
        if not sink['ramp_bytes']:
            if name == 'speakers':
                print("  nothing of the signal reached Speakers: see the window's texts above, run/program.log, "
                      "and run again with WINEDEBUG=+file,+winmm,+mmdevapi")
            continue
        print(f"  order held: {'yes' if sink['order_held'] else 'NO'} ({sink['backwards_steps']} steps backwards)")
        print(f"  lost samples: {sink['lost_inside']} frames inside, {sink['missing_head']} missing at the start, "
              f"{sink['missing_tail']} at the end; left channel differs from what was fed in "
              f"{sink['left_mismatches']} frames")
        if sink['missing_head'] and not sink['lost_inside']:
            print("  (frames missing only at the start are most likely the first read, taken by the capture "
                  "thread before the playback thread ran, which it drops)")
        print(f"  silent gaps inside the signal: {sink['gaps']}, {sink['gap_ms']:.1f} ms in all, "
              f"longest {sink['longest_gap_ms']:.1f} ms" +
              (f"; at {', '.join(f'{t} s' for t in sink['gaps_at_s'][:8])} after the feed began"
               if sink.get('gaps_at_s') else ''))
        if 'latency_ms' in sink:
            lat = sink['latency_ms']
            print(f"  latency, written into the device -> on the sink's monitor: median {lat['median']:.0f} ms, "
                  f"95th percentile {lat['p95']:.0f} ms (min {lat['min']:.0f}, max {lat['max']:.0f}; the recording's "
                  f"clock is set by parec's first bytes, good to about 10 ms)")


def plot_latency(out_dir, feed_log, hearing, stamp):
    """Each chunk's latency over the feed's time, as ImageMagick drawing commands."""
    # The plot area lines up with sox's spectrograms below it (-x 1000).
    width, height = 1142, 300
    left, right, top, bottom = 57, 85, 50, 40
    origin = feed_log['opened']
    points = []
    for first, written in aligned_writes(feed_log):
        if first in hearing.position_of:
            points.append((written - origin, (stamp['start'] + hearing.position_of[first] / RATE - written) * 1000))
    with open(os.path.join(out_dir, 'trim.txt'), 'w') as f:
        f.write(f"{max(0.0, origin - stamp['start']):.3f}\n")
    if not points:
        return
    span_t = feed_log['signal_frames'] / RATE + 1
    low = min(0.0, min(v for _, v in points))
    step = 10 if max(v for _, v in points) <= 100 else 50 if max(v for _, v in points) <= 500 else 250
    high = step * (int(max(v for _, v in points) * 1.15 / step) + 1)
    low = -step * (int(-low / step) + (1 if low < 0 else 0))

    def x(t):
        return left + t / span_t * (width - left - right)

    def y(v):
        return top + (high - v) / (high - low) * (height - top - bottom)

    draw = ["font-size 13", "stroke-width 1"]
    for second in range(int(span_t) + 1):
        draw += ["stroke '#dddddd'", f"line {x(second):.1f},{top} {x(second):.1f},{height - bottom}",
                 "stroke none", "fill black", f"text {x(second) - 4:.1f},{height - bottom + 16} '{second}'"]
    value = low
    while value <= high:
        draw += ["stroke '#dddddd'", f"line {left},{y(value):.1f} {width - right},{y(value):.1f}",
                 "stroke none", "fill black", f"text 4,{y(value) + 4:.1f} '{value:g} ms'"]
        value += step
    for position, length in hearing.gap_spans:
        t0 = stamp['start'] + position / RATE - origin
        t1 = t0 + length / RATE
        draw += ["stroke none", "fill '#f0a0a0'",
                 f"rectangle {x(t0):.1f},{top} {max(x(t1), x(t0) + 2):.1f},{height - bottom}"]
    draw += ["stroke '#2050e0'", "fill none", "polyline " + " ".join(f"{x(t):.1f},{y(v):.1f}" for t, v in points)]
    draw += ["stroke none", "fill black", "font-size 15",
             f"text {left},20 'latency of each 10 ms chunk: written into the device -> heard on Speakers (blue)'",
             "fill '#c03030'", f"text {left},40 'silent gaps in what was heard (red bands)'",
             "fill black", "font-size 13", f"text {width / 2 - 80:.0f},{height - 6} 'seconds since the feed began'"]
    with open(os.path.join(out_dir, 'latency.mvg'), 'w') as f:
        f.write(f"viewbox 0 0 {width} {height}\n" + "\n".join(draw) + "\n")


def quiet(out_dir):
    failures = 0
    for name in sorted(os.listdir(out_dir)):
        if name.startswith('heard-') and name.endswith('.raw'):
            with open(os.path.join(out_dir, name), 'rb') as f:
                data = f.read()
            loud = len(data) - data.count(0)
            print(f"{'ok' if loud == 0 else 'FAIL'} {name[6:-4]} heard nothing "
                  f"({len(data)} bytes recorded, {loud} not zero)")
            failures += 1 if loud else 0
    return failures


def read_figures(path):
    with open(path) as f:
        return dict(line.rstrip('\n').split('=', 1) for line in f if '=' in line)


def compare(seconds, program_dir, program_file, loopback_dir, loopback_file, loopback_name):
    """The benchmark's table: the program's relay against module-loopback."""
    rows = []
    paths = []
    for run_dir, figures_file in ((program_dir, program_file), (loopback_dir, loopback_file)):
        report, total = build_report(run_dir, plotted=None)
        sink = report['sinks'].get('speakers', {})
        figures = read_figures(figures_file)
        paths.append((sink, figures, total))
    audio_s = float(seconds)

    def latency(sink, key):
        return sink.get('latency_ms', {}).get(key)

    def ratio(a, b):
        return f'{a / b:.2f}' if a is not None and b else '-'

    def show(value, form):
        return form.format(value) if value is not None else '-'

    (p_sink, p_fig, total), (l_sink, l_fig, _) = paths
    measures = [
        ('latency, median (ms)', latency(p_sink, 'median'), latency(l_sink, 'median'), '{:.0f}'),
        ('latency, 95th percentile (ms)', latency(p_sink, 'p95'), latency(l_sink, 'p95'), '{:.0f}'),
        ('CPU s per audio s', float(p_fig['cpu']) / audio_s, float(l_fig['cpu']) / audio_s, '{:.4f}'),
        ('peak memory (MB)', int(p_fig['peak_kb']) / 1024, int(l_fig['peak_kb']) / 1024, '{:.1f}'),
        ('silent gaps (count)', p_sink.get('gaps'), l_sink.get('gaps'), '{}'),
        ('silent gaps (ms in all)', p_sink.get('gap_ms'), l_sink.get('gap_ms'), '{:.0f}'),
        ('frames lost or missing', lost(p_sink, total), lost(l_sink, total), '{}'),
    ]
    print(f'relay of {seconds} s of audio to Speakers: UlvexDriver_Monitor.exe under Wine against {loopback_name}')
    print(f"{'':32}{'program':>12}{'loopback':>12}{'ratio':>8}")
    for name, a, b, form in measures:
        print(f'{name:32}{show(a, form):>12}{show(b, form):>12}{ratio(a, b):>8}')
    print(f"CPU counted, program: {p_fig['cpu_parts']}")
    print(f"CPU counted, loopback: {l_fig['cpu_parts']}")
    print(f"peak memory (VmHWM), program: {p_fig['peak_parts']}; loopback: {l_fig['peak_parts']}")
    for name, sink in (('program', p_sink), ('loopback', l_sink)):
        if sink.get('ramp_bytes'):
            print(f"{name}: order held {'yes' if sink['order_held'] else 'NO'}, latency min {latency(sink, 'min'):.0f} "
                  f"max {latency(sink, 'max'):.0f} ms, longest gap {sink['longest_gap_ms']:.0f} ms")
        else:
            print(f'{name}: nothing of the signal was heard')
    return 0


def lost(sink, total):
    if not sink.get('ramp_bytes'):
        return total
    return sink['missing_head'] + sink['lost_inside'] + sink['missing_tail']


def main(argv):
    if len(argv) >= 4 and argv[0] == 'feed':
        options = argv[4:]
        chunks = (CHUNK_FRAMES * FRAME,)
        if '--chunks' in options:
            chunks = tuple(int(size) for size in options[options.index('--chunks') + 1].split(','))
        return feed(argv[1], float(argv[2]), argv[3], chunks, '--wait-for-stream' in options)
    if len(argv) == 7 and argv[0] == 'compare':
        return compare(*argv[1:])
    if len(argv) == 2 and argv[0] == 'quiet':
        return quiet(argv[1])
    if len(argv) == 3 and argv[0] == 'check':
        return check(argv[1], argv[2])
    if len(argv) == 4 and argv[0] == 'record':
        return record(argv[1], argv[2], argv[3])
    if len(argv) == 2 and argv[0] == 'analyse':
        return analyse(argv[1])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
