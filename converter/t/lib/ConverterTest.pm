package ConverterTest;
# Shared by the converter's tests: the arguments the Mapfeed program sends for a set of option
# slots, a run of the converter, and a design file read back with GDAL's ogrinfo.
use v5.36;

use Exporter 'import';
our @EXPORT = qw(slots run_converter features write_file read_bytes scratch structure_problems design_elements sample_library $SCRIPT);

use File::Basename qw(dirname);
use File::Spec;
use File::Temp qw(tempdir);
use FindBin qw($RealBin);
use IPC::Open3 qw(open3);
use Symbol qw(gensym);
use Test::More;

our $SCRIPT = File::Spec->catfile($RealBin, '..', 'mapfeed.pl');

sub scratch () { return tempdir(CLEANUP => 1) }

sub write_file ($path, $text) {
    open(my $out, '>:raw', $path) or die "$path: $!";
    print {$out} $text;
    close $out;
}

sub read_bytes ($path) {
    open(my $in, '<:raw', $path) or die "$path: $!";
    local $/;
    return scalar <$in>;
}

# The options part of the command line as the program joins its 27 slots (a blank, the flag,
# a blank, the value, for every slot; unset slots empty), split at blanks the way the program
# splits it. %set: slot number => [flag, value].
sub slots (%set) {
    my $joined = '';
    for my $slot (0 .. 26) {
        my ($flag, $value) = @{ $set{$slot} // [ '', '' ] };
        $joined .= " $flag $value";
    }
    return split ' ', $joined;
}

# Runs the converter on input and design with the given option words; returns its exit
# status, standard output and standard error.
sub run_converter ($input, $design, @options) {
    my $err = gensym;
    my $pid = open3(my $in, my $out, $err, $^X, $SCRIPT, '-I', $input, '-D', $design, @options);
    close $in;
    my $stdout = do { local $/; <$out> } // '';
    my $stderr = do { local $/; <$err> } // '';
    waitpid $pid, 0;
    return ($? >> 8, $stdout, $stderr);
}

# The elements of a design file's bytes, header block included, up to the end marker: each a
# hash of type, level, offset, bytes, range [xl, yl, xh, yh] (UORs), properties and graphic group.
sub design_elements ($bytes) {
    my @elements;
    my $range_long = sub ($at) {
        my ($high, $low) = unpack('vv', substr($bytes, $at, 4));
        my $v = (($high << 16) | $low) ^ 0x80000000;
        return $v >= 2**31 ? $v - 2**32 : $v;
    };
    for (my $at = 0; $at + 4 <= length $bytes && substr($bytes, $at, 2) ne "\xFF\xFF";) {
        my ($level, $type, $words) = unpack('C C v', substr($bytes, $at, 4));
        my %e = (type => $type & 0x7F, level => $level & 0x3F, offset => $at, bytes => substr($bytes, $at, 4 + 2 * $words));
        if ($e{type} != 9 && $e{type} != 8 && $e{type} != 10) {
            $e{range} = [ map { $range_long->($at + $_) } 4, 8, 16, 20 ];
            ($e{group}, undef, $e{properties}) = unpack('v v v', substr($bytes, $at + 28, 6));
        }
        push @elements, \%e;
        $at += 4 + 2 * $words;
    }
    return @elements;
}

# The structural checker built beside the engine: $MAPFEED_CONVERT's folder, or the source
# tree's build/bin (where the launcher finds the engine).
my $CHECKER = File::Spec->catfile(
    defined $ENV{MAPFEED_CONVERT} && $ENV{MAPFEED_CONVERT} ne '' ? dirname($ENV{MAPFEED_CONVERT}) : "$RealBin/../../build/bin",
    'mapfeed-dgn-check');

# Writes the sample cell library (CIRCLE, CROSS, LABEL) of the program built beside the checker.
sub sample_library ($path) {
    my $writer = File::Spec->catfile(dirname($CHECKER), 'mapfeed-sample-library');
    system($writer, $path) == 0 or die "$writer $path: status $?";
}

# What the structural checker finds wrong with a design file (nothing: an empty list).
sub structure_problems ($design) {
    -x $CHECKER or return ("the structural checker $CHECKER is not built");
    open(my $check, '-|', $CHECKER, $design) or die "$CHECKER: $!";
    my @problems = <$check>;
    close $check;
    push @problems, "$CHECKER ended with status " . ($? >> 8) if $? && !@problems;
    return @problems;
}

# The features ogrinfo reads from a design file: the fields it prints and the geometry text.
# Every file read back is first checked for its structure.
sub features ($design) {
    my @problems = structure_problems($design);
    ok(!@problems, "$design holds together") or diag @problems;
    open(my $info, '-|', 'ogrinfo', '-al', '-q', $design) or die "ogrinfo: $!";
    my @features;
    while (my $line = <$info>) {
        chomp $line;
        if ($line =~ /^OGRFeature\(\w+\):(\d+)/) {
            push @features, { fid => $1 };
        } elsif (@features && $line =~ /^  (\w+) \([^)]*\) = (.*)$/) {
            $features[-1]{$1} = $2;
        } elsif (@features && $line =~ /^  Style = (.*)$/) {
            $features[-1]{style_string} = $1;
        } elsif (@features && $line =~ /^  ((?:MULTI)?(?:POINT|LINESTRING|POLYGON)) (.*)$/) {
            $features[-1]{geometry} = $1;
            $features[-1]{coordinates} = [ map { [ map { 0 + $_ } split ' ' ] } split /,/, $2 =~ tr/()//dr ];
        }
    }
    close $info;
    return \@features;
}

1;
