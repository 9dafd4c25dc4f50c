# Appending in place: the design file keeps its inode, owner, mode, links and open handles; a
# lock held by another converter is waited for a bounded time; a signal before the commit
# leaves the file as it was; a run killed at any instant leaves the old file or the old file
# with every new element, and nothing beside it.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Fcntl qw(F_SETLKW F_WRLCK SEEK_SET O_RDWR);
use IPC::Open3 qw(open3);
use Symbol qw(gensym);
use Time::HiRes qw(sleep);
use Test::More;

my $dir = scratch();
write_file("$dir/points.gen", "1 100 200\n2 110 210\nEND\n");
my @job = slots(3 => [ '-S', 'A' ], 4 => [ '-P', 'P' ], 6 => [ '-C ', '3' ]);

sub fresh ($name) { write_file("$dir/$name", ''); run_converter("$dir/points.gen", "$dir/$name", @job); return "$dir/$name" }

subtest 'the file itself is appended to: inode, owner, mode, links, open handles' => sub {
    my $design = fresh('kept.dgn');
    chmod 0664, $design;
    my $owner = $> == 0 ? 65534 : $<;
    chown $owner, $owner, $design if $> == 0;
    link $design, "$dir/kept-link.dgn" or die "link: $!";
    my @before = stat $design;
    sysopen(my $cad, $design, O_RDWR) or die "$design: $!";    # as a CAD program holds it
    my ($status, undef, $err) = run_converter("$dir/points.gen", $design, @job);
    is($status, 0, 'exit 0') or diag $err;
    my @after = stat $design;
    is_deeply([ @after[ 1, 2, 3, 4, 5 ] ], [ @before[ 1, 2, 3, 4, 5 ] ], 'inode, mode, links, owner and group unchanged');
    # The program changes an old element in place through its handle: the first point's level.
    sysseek($cad, 2048, 0);
    syswrite($cad, chr(7)) == 1 or die "write: $!";
    close $cad;
    my @levels = map { $_->{Level} } @{ features($design) };
    is_deeply(\@levels, [ 7, 3, 3, 3 ], 'its change and our new elements are both in the file');
    is(read_bytes("$dir/kept-link.dgn"), read_bytes($design), 'the hard link sees the same file');
};

subtest 'a file name as long as the file system allows' => sub {
    my $name = ('n' x 251) . '.dgn';
    my $design = fresh($name);
    is(scalar @{ features($design) }, 2, 'written');
};

# Holds a write lock on the whole design file in a child, as another converter does, until
# the returned pipe is closed.
sub hold_lock ($design) {
    pipe(my $reader, my $writer) or die "pipe: $!";
    pipe(my $ready_r, my $ready_w) or die "pipe: $!";
    my $pid = fork // die "fork: $!";
    unless ($pid) {
        close $writer;
        close $ready_r;
        sysopen(my $fh, $design, O_RDWR) or die "$design: $!";
        my $whole = pack('s s x4 q q i x4', F_WRLCK, SEEK_SET, 0, 0, 0);    # struct flock
        fcntl($fh, F_SETLKW, $whole) or die "lock: $!";
        syswrite $ready_w, "locked\n";
        sysread $reader, my $buffer, 1;
        exit 0;
    }
    close $reader;
    close $ready_w;
    sysread $ready_r, my $buffer, 7;
    return ($pid, $writer);
}

subtest 'a lock held by another converter: a bounded wait, then a message naming it' => sub {
    my $design = fresh('locked.dgn');
    my $before = read_bytes($design);
    my ($holder, $release) = hold_lock($design);
    local $ENV{MAPFEED_LOCK_WAIT} = '0.3';
    my ($status, undef, $err) = run_converter("$dir/points.gen", $design, @job);
    is($status, 5, 'exit 5');
    like($err, qr/is locked by another converter \(process $holder\), still after 0\.3 s/, 'names the holder');
    ok(read_bytes($design) eq $before, 'the design file is unchanged');
    close $release;
    waitpid $holder, 0;
};

subtest 'a signal before the commit ends the run with nothing written' => sub {
    my $design = fresh('signalled.dgn');
    my $before = read_bytes($design);
    my ($holder, $release) = hold_lock($design);
    my $err = gensym;
    my $pid = open3(my $in, my $out, $err, $^X, $SCRIPT, '-I', "$dir/points.gen", '-D', $design, @job);
    sleep 0.3;    # waiting for the lock
    kill 'TERM', $pid;
    my $stderr = do { local $/; <$err> };
    waitpid $pid, 0;
    is($? >> 8, 143, 'exit 143');
    like($stderr, qr/ended by signal TERM\n.*nothing was written/s, 'says so, once');
    ok(read_bytes($design) eq $before, 'the design file is unchanged');
    close $release;
    waitpid $holder, 0;
};

subtest 'a signal after the commit point: the run finishes and reports what it wrote' => sub {
    my $design = fresh('late.dgn');
    my $count = scalar @{ features($design) };
    # Standard output is a pipe filled to the brim, so the run stops at its summary, after the
    # commit, until the pipe is read.
    pipe(my $from, my $to) or die "pipe: $!";
    fcntl($to, Fcntl::F_SETFL(), Fcntl::O_NONBLOCK());
    my $filled = 0;
    while (1) { my $n = syswrite($to, 'x' x 4096); last unless $n; $filled += $n }
    fcntl($to, Fcntl::F_SETFL(), 0);
    my $err = "$dir/late.err";
    my $pid = fork // die "fork: $!";
    unless ($pid) {
        close $from;
        open STDOUT, '>&', $to or die;
        open STDERR, '>', $err or die;
        exec $^X, $SCRIPT, '-I', "$dir/points.gen", '-D', $design, @job or exit 99;
    }
    close $to;
    sleep 0.5;
    kill 'TERM', $pid;
    sleep 0.2;
    my $out = do { local $/; <$from> };
    waitpid $pid, 0;
    is($? >> 8, 0, 'exit 0: the elements were committed before the signal');
    like(substr($out, $filled), qr/late.dgn: 2 points/, 'the summary says what was written');
    unlike(read_bytes($err), qr/nothing was written/, 'and nothing says otherwise');
    is(scalar @{ features($design) }, $count + 2, 'the elements are there');
};

subtest 'a write that fails (a full disk): one message, the file truncated back' => sub {
    # A file size limit makes the writes fail as a full disk does, with SIGXFSZ ignored.
    my $design = "$dir/full.dgn";
    write_file($design, '');
    my $err = gensym;
    my $pid = open3(my $in, my $out, $err, 'sh', '-c', 'ulimit -f 1; trap "" XFSZ; exec "$@"', 'sh',
        $^X, $SCRIPT, '-I', "$dir/points.gen", '-D', $design, @job);
    my $stderr = do { local $/; <$err> };
    waitpid $pid, 0;
    is($? >> 8, 5, 'exit 5');
    like($stderr, qr/could not be written: File too large/, 'says why');
    is_deeply([ grep { !/^mapfeed\.pl: / } split /\n/, $stderr ], [], 'every line starts with mapfeed.pl:');
    is(-s $design, 0, 'the design file is empty again');
};

subtest 'killed at random instants: the old file or the old file with every new element' => sub {
    my $runs = $ENV{MAPFEED_KILL_RUNS} // 100;
    my $many = "$dir/many.gen";
    write_file($many, join('', map { "$_ " . ($_ % 1000) . ' ' . int($_ / 1000) . "\n" } 1 .. 20_000) . "END\n");
    my $base = fresh('base.dgn');
    my $old = read_bytes($base);
    my $target = "$dir/killed/k.dgn";
    mkdir "$dir/killed";
    write_file($target, $old);
    run_converter($many, $target, @job);
    my $new = read_bytes($target);
    my %seen = (old => 0, new => 0);
    my $damaged = 0;
    for my $run (1 .. $runs) {
        write_file($target, $old);
        my $pid = fork // die "fork: $!";
        unless ($pid) {
            open STDERR, '>', '/dev/null';
            open STDOUT, '>', '/dev/null';
            exec $^X, $SCRIPT, '-I', $many, '-D', $target, @job or exit 99;
        }
        sleep rand(0.08);
        kill 'KILL', $pid;
        waitpid $pid, 0;
        my $now = read_bytes($target);
        if (substr($now, 0, length $new) eq $new) {
            $seen{new}++;
        } elsif (substr($now, 0, length $old) eq $old) {
            $seen{old}++;
        } else {
            $damaged++;
        }
        $damaged++ if structure_problems($target);
    }
    is($damaged, 0, "$runs kills ($seen{old} left the old file, $seen{new} the new one): none damaged");
    opendir(my $folder, "$dir/killed") or die;
    is_deeply([ sort grep { !/^\.\.?$/ } readdir $folder ], ['k.dgn'], 'nothing left beside the design file');
};

done_testing;
